#include "CardCommands.h"

#include "PrintedMembers.h"
#include "cards/CardPreview.h"
#include "data/CardTimes.h"
#include "data/DatabaseSettings.h"
#include "data/Engine.h"
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

// Previews the cards of the rows of QList, opened here; printing them marks them printed.
void previewList(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options, data::Query& fields)
{
    const OpenWhileInScope open(dsrc.QList);
    const PrintedMembers printed(dsrc.QList, dsrc.extensionsProblem);
    PreviewCards(owner, options, fields, dsrc.QList);
}

} // namespace

void previewAllStaff(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options,
                     data::Query& fields)
{
    dsrc.QList.setSql(staffJoinedWithGroups());
    previewList(owner, dsrc, options, fields);
}

void previewMemberNamed(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options,
                        data::Query& fields, const QVariant& name)
{
    // The name column sorts without letter case; the member is found by the exact name.
    QStringList sql = staffJoinedWithGroups();
    sql << QStringLiteral("where name=:name collate ") + dsrc.src.engine().exactCollation();
    dsrc.QList.setSql(sql);
    dsrc.QList.setParameter(QStringLiteral("name"), name);
    previewList(owner, dsrc, options, fields);
}

void previewChangedStaff(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options,
                         data::Query& fields)
{
    QStringList sql = staffJoinedWithGroups();
    // An older file that could not gain the time columns has no changes to show.
    sql << QStringLiteral("where")
        << (data::hasExtensions(dsrc.src) ? data::reprintCondition() : QStringLiteral("1 = 0"));
    dsrc.QList.setSql(sql);
    previewList(owner, dsrc, options, fields);
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
