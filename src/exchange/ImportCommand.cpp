#include "ImportCommand.h"

#include "StaffImport.h"
#include "data/Answers.h"
#include "data/Tdsrc.h"

#include <QFileInfo>

namespace exchange {
namespace {

class ClosesAtEnd
{
public:
    explicit ClosesAtEnd(data::Query& query)
        : m_query(query)
    { }
    ~ClosesAtEnd() { m_query.close(); }
    ClosesAtEnd(const ClosesAtEnd&) = delete;
    ClosesAtEnd& operator=(const ClosesAtEnd&) = delete;

private:
    data::Query& m_query;
};

QString withDefaultExtension(const QString& path, const QString& nameFilter)
{
    const QFileInfo info(path);
    if (info.exists() || !info.suffix().isEmpty())
        return path;
    const QString suffix = data::nameFilterSuffix(nameFilter);
    return path + u'.' + (suffix.isEmpty() ? QStringLiteral("xls") : suffix);
}

} // namespace

bool importWorkbook(QWidget* owner, data::Tdsrc& dsrc, imaging::Progress& progress,
                    const WorkbookReader& reader)
{
    dsrc.QAllStaff.open();
    const ClosesAtEnd closes(dsrc.QAllStaff);
    const std::optional<data::Answers::OpenedFile> chosen = data::answers().openFileOfKind(
        owner, workbookFileFilter, QStringLiteral("Import Staff Records"),
        QStringLiteral("import.xls"), QStringLiteral("xls"));
    if (!chosen)
        return true;
    const SheetTable sheet = reader.read(withDefaultExtension(chosen->path, chosen->nameFilter));
    return importStaff(dsrc, sheet, progress);
}

} // namespace exchange
