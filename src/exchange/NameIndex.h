#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <vector>

namespace data {
class Query;
}

namespace exchange {

// Finds members of an open staff query by name with the rule of Query::locate (the first
// row whose name equals the value; Null equals nothing), in constant time rather than with
// a scan per lookup. The caller reports every row it posts; when the query's rows change
// behind its back (another command reopened it), the index is built again.
class NameIndex
{
public:
    explicit NameIndex(data::Query& staff);

    // The row index of the first member with that name, or -1.
    int find(const QVariant& name);
    // The row at that index was just posted (appended or edited).
    void posted(int row);

private:
    static QString key(const QVariant& value) { return value.toString(); }
    void rebuild();
    void forget(int row);

    data::Query& m_staff;
    QHash<QString, int> m_first;
    std::vector<QVariant> m_names; // per row, as indexed
};

} // namespace exchange
