#pragma once

#include "data/QueryTableModel.h"

#include <QHash>

namespace app {

// The member grid: staff no, name and Chinese name of the rows of a staff query, and while
// a search across groups is shown a fourth column with each member's group.
class MemberGridModel : public data::QueryTableModel
{
    Q_OBJECT
public:
    MemberGridModel(data::Query& staff, QObject* parent = nullptr);

    // The field the group column sorts by; no column of the staff table bears it.
    static QString groupField() { return QStringLiteral("gdesc"); }

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Shows the group column with the names of the groups by their numbers; the grid is reset.
    void showGroups(const QHash<qlonglong, QString>& names);
    void hideGroups();
    bool groupsShown() const { return m_groupsShown; }

private:
    data::Query& m_staff;
    QHash<qlonglong, QString> m_groups;
    bool m_groupsShown = false;
};

} // namespace app
