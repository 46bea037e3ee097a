#include "StaffImport.h"

#include "BatchLock.h"
#include "BatchTransaction.h"
#include "NameIndex.h"
#include "SheetTable.h"
#include "data/CardTimes.h"
#include "data/Error.h"
#include "data/Tdsrc.h"
#include "data/Utils.h"
#include "imaging/Picture.h"
#include "imaging/PictureBlob.h"
#include "imaging/Progress.h"

#include <optional>

namespace exchange {
namespace {

struct Columns
{
    explicit Columns(const SheetTable& sheet)
        : group(sheet.column(QStringLiteral("GROUP")))
        , name(sheet.column(QStringLiteral("NAME")))
        , staffId(sheet.column(QStringLiteral("STAFF_ID")))
        , chineseName(sheet.column(QStringLiteral("CHINESE_NAME")))
        , post(sheet.column(QStringLiteral("POST")))
        , dateJoin(sheet.column(QStringLiteral("DATE_JOIN")))
    { }
    int group, name, staffId, chineseName, post, dateJoin;
};

class Importer
{
public:
    Importer(data::Tdsrc& dsrc, const SheetTable& sheet)
        : m_groups(dsrc.QGroup)
        , m_staff(dsrc.QAllStaff)
        , m_sheet(sheet)
        , m_columns(sheet)
        , m_groupIndex(dsrc.QGroup, QStringLiteral("gdesc"))
        , m_index(dsrc.QAllStaff)
    { }

    // Both return false after a refused write, with the pending row cancelled and the
    // engine's reason kept.
    bool groupNumber(int row, qint32& gid);
    bool writeMember(int row, qint32 gid);
    const QString& reason() const { return m_reason; }

private:
    QString text(int row, int column) const
    {
        QString result;
        data::FieldAsString(m_sheet.cell(row, column), result);
        return result;
    }

    data::Query& m_groups;
    data::Query& m_staff;
    const SheetTable& m_sheet;
    Columns m_columns;
    NameIndex m_groupIndex;
    NameIndex m_index;
    const imaging::Picture m_noPhoto;
    QString m_reason;
};

bool Importer::groupNumber(int row, qint32& gid)
{
    const QString gdesc = QStringLiteral("gdesc");
    gid = 0;
    const QString name = text(row, m_columns.group);
    if (name.isEmpty())
        return true;
    const int found = m_groupIndex.find(name);
    if (found >= 0) {
        m_groups.moveTo(found);
        gid = m_groups.asInt(QStringLiteral("gid"));
        return true;
    }
    try {
        m_groups.append();
        m_groups.setValue(gdesc, name);
        m_groups.post();
    } catch (const std::exception& e) {
        m_reason = QString::fromUtf8(e.what());
        m_groups.cancel();
        return false;
    }
    m_groupIndex.posted(m_groups.currentRow());
    // The posted row is the current one and holds its new seq: the first row with this name,
    // since none had it before.
    gid = m_groups.asInt(QStringLiteral("seq"));
    try {
        m_groups.edit();
        m_groups.setValue(QStringLiteral("gid"), gid);
        m_groups.post();
    } catch (const std::exception& e) {
        m_reason = QString::fromUtf8(e.what());
        m_groups.cancel();
        return false;
    }
    m_groupIndex.posted(m_groups.currentRow());
    return true;
}

bool Importer::writeMember(int row, qint32 gid)
{
    try {
        const std::optional<QVariant> name = m_sheet.cell(row, m_columns.name);
        if (!name)
            throw data::Error(QStringLiteral("The sheet has no NAME column"));
        const int found = m_index.find(*name);
        const bool existing = found >= 0;
        if (existing)
            m_staff.moveTo(found);
        const data::CardChange change(m_staff, !existing);
        if (existing) {
            m_staff.edit();
        } else {
            m_staff.append();
        }
        // An existing member keeps what the workbook does not carry: the columns it has no
        // heading for, the expiry, the remark and the photo.
        const auto write = [&](const QString& field, int column) {
            if (!existing || column >= 0)
                m_staff.setValue(field, text(row, column));
        };
        if (!existing || m_columns.group >= 0)
            m_staff.setValue(QStringLiteral("gid"), gid);
        write(QStringLiteral("staffno"), m_columns.staffId);
        write(QStringLiteral("name"), m_columns.name);
        write(QStringLiteral("cname"), m_columns.chineseName);
        write(QStringLiteral("post"), m_columns.post);
        write(QStringLiteral("datejoin"), m_columns.dateJoin);
        if (!existing) {
            m_staff.setValue(QStringLiteral("expiry"), QStringLiteral(" "));
            m_staff.setValue(QStringLiteral("remark"), QStringLiteral(" "));
            imaging::SavePictureToBlob(m_staff, QStringLiteral("photo"), m_noPhoto);
        }
        // A member who has these values already is not written again: the write would
        // rewrite the whole record, photo and all.
        if (change.stamp(m_staff) || !existing)
            m_staff.post();
        else
            m_staff.cancel();
    } catch (const std::exception& e) {
        m_reason = QString::fromUtf8(e.what());
        m_staff.cancel();
        return false;
    }
    m_index.posted(m_staff.currentRow());
    return true;
}

} // namespace

bool importStaff(data::Tdsrc& dsrc, const SheetTable& sheet, imaging::Progress& progress)
{
    progress.setMin(0);
    progress.setMax(sheet.rowCount() & 0xFFFF);
    progress.show();

    if (sheet.rowCount() == 0)
        return true;
    // Another station's import would take the same rows for new: one runs after the other.
    const BatchLock lock(dsrc.src);
    // A database that is read-only or locked by another program refuses the first write.
    std::optional<BatchTransaction> batch;
    try {
        batch.emplace(dsrc.src);
    } catch (const data::Error& e) {
        data::ShowPostError(e.message());
        return false;
    }
    // The lock is taken: the groups and members are read again under it, since another
    // program may have written them since they were read (two imports of one workbook at
    // once would otherwise both take every row for new).
    for (data::Query* query : {&dsrc.QGroup, &dsrc.QAllStaff}) {
        if (query->isOpen()) {
            query->close();
            query->open();
        }
    }
    Importer importer(dsrc, sheet);
    for (int row = 0; row < sheet.rowCount(); ++row) {
        progress.processEvents();
        qint32 gid = 0;
        if (!importer.groupNumber(row, gid) || !importer.writeMember(row, gid)) {
            batch->endAfterFailure();
            data::ShowPostError(importer.reason());
            return false;
        }
        progress.step();
    }
    batch->commit();
    return true;
}

} // namespace exchange
