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

QString withDefaultExtension(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() || !info.suffix().isEmpty())
        return path;
    return path + QStringLiteral(".xls");
}

} // namespace

bool importWorkbook(QWidget* owner, data::Tdsrc& dsrc, imaging::Progress& progress,
                    const WorkbookReader& reader)
{
    dsrc.QAllStaff.open();
    const ClosesAtEnd closes(dsrc.QAllStaff);
    const std::optional<QString> chosen = data::answers().openFileName(
        owner, workbookFileFilter, QStringLiteral("Import Excel Records"),
        QStringLiteral("import.xls"), QStringLiteral("xls"));
    if (!chosen)
        return true;
    const SheetTable sheet = reader.read(withDefaultExtension(*chosen));
    return importStaff(dsrc, sheet, progress);
}

} // namespace exchange
