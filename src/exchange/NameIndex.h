#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace data {
class Query;
}

namespace exchange {

// Finds rows of an open query by the value of one column with the rule of Query::locate (the
// first row whose value equals; Null equals nothing), through a hash built once rather than
// with a scan per lookup. The caller reports every row it posts, which costs as much as the
// rows sharing the old and the new value; when the query's rows change behind its back
// (another command reopened it), the index is built again.
class NameIndex
{
public:
    explicit NameIndex(data::Query& query, QString column = QStringLiteral("name"));

    // The index of the first row with that value, or -1.
    int find(const QVariant& value);
    // The row at that index was just posted (appended or edited).
    void posted(int row);

private:
    using Key = std::optional<QString>; // none for Null
    static Key key(const QVariant& value);
    void rebuild();
    void remove(const QString& key, int row);
    void insert(const QString& key, int row);

    data::Query& m_query;
    QString m_column;
    // Per value, the rows holding it in ascending order: the first is the one found.
    QHash<QString, std::vector<int>> m_rows;
    std::vector<Key> m_keys; // per row, as indexed
};

} // namespace exchange
