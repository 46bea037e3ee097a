#include "CardCommands.h"

#include "cards/CardPreview.h"
#include "data/Tdsrc.h"

namespace cards {
namespace {

// Closes the query when the preview ends, also when it fails.
class OpenWhileInScope
{
public:
    explicit OpenWhileInScope(data::Query& query)
        : m_query(query)
    {
        m_query.open();
    }
    ~OpenWhileInScope() { m_query.close(); }
    OpenWhileInScope(const OpenWhileInScope&) = delete;
    OpenWhileInScope& operator=(const OpenWhileInScope&) = delete;

private:
    data::Query& m_query;
};

QStringList staffJoinedWithGroups()
{
    return {QStringLiteral("select * from stafftbl"), QStringLiteral("left join grptbl"),
            QStringLiteral("on stafftbl.gid=grptbl.gid")};
}

} // namespace

void previewAllStaff(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options,
                     data::Query& fields)
{
    dsrc.QList.setSql(staffJoinedWithGroups());
    const OpenWhileInScope open(dsrc.QList);
    PreviewCards(owner, options, fields, dsrc.QList);
}

void previewMemberNamed(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options,
                        data::Query& fields, const QVariant& name)
{
    // The name column sorts without letter case; the member is found by the exact name.
    QStringList sql = staffJoinedWithGroups();
    sql << QStringLiteral("where name=:name collate binary");
    dsrc.QList.setSql(sql);
    dsrc.QList.setParameter(QStringLiteral("name"), name);
    const OpenWhileInScope open(dsrc.QList);
    PreviewCards(owner, options, fields, dsrc.QList);
}

void previewSelectedMember(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& storedOptions,
                           data::Query& fields)
{
    // Null equals nothing: an empty member list selects nobody.
    QVariant name;
    if (dsrc.QStaff.isOpen() && !dsrc.QStaff.eof())
        name = dsrc.QStaff.value(QStringLiteral("name"));
    previewMemberNamed(owner, dsrc, storedOptions, fields, name);
}

} // namespace cards
