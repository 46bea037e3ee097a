#include "MemberGridModel.h"

#include "data/Query.h"

namespace app {

MemberGridModel::MemberGridModel(data::Query& staff, QObject* parent)
    : data::QueryTableModel(staff,
                            {{QStringLiteral("staffno"), tr("Staff No")},
                             {QStringLiteral("name"), tr("Name")},
                             {QStringLiteral("cname"), tr("Chinese")},
                             {groupField(), tr("Group")}},
                            parent)
    , m_staff(staff)
{ }

int MemberGridModel::columnCount(const QModelIndex& parent) const
{
    const int all = data::QueryTableModel::columnCount(parent);
    return groupsShown() || all == 0 ? all : all - 1;
}

QVariant MemberGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= columnCount())
        return {};
    if (field(index.column()) != groupField())
        return data::QueryTableModel::data(index, role);
    if (role != Qt::DisplayRole || index.row() >= m_staff.rowCount())
        return {};
    // A member whose group has no row shows no group.
    const QVariant gid = m_staff.rowValue(index.row(), QStringLiteral("gid"));
    return gid.isNull() ? QString() : m_groups.value(gid.toLongLong());
}

void MemberGridModel::showGroups(const QHash<qlonglong, QString>& names)
{
    beginResetModel();
    m_groups = names;
    m_groupsShown = true;
    endResetModel();
}

void MemberGridModel::hideGroups()
{
    beginResetModel();
    m_groups.clear();
    m_groupsShown = false;
    endResetModel();
}

} // namespace app
