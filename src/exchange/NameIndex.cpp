#include "NameIndex.h"

#include "data/Query.h"

#include <algorithm>

namespace exchange {

NameIndex::NameIndex(data::Query& query, QString column)
    : m_query(query)
    , m_column(std::move(column))
{
    rebuild();
}

NameIndex::Key NameIndex::key(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toString();
}

void NameIndex::rebuild()
{
    m_rows.clear();
    m_keys.clear();
    const int rows = m_query.rowCount();
    m_keys.reserve(size_t(rows));
    m_rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        Key k = key(m_query.rowValue(r, m_column));
        if (k)
            m_rows[*k].push_back(r); // rows come in ascending order
        m_keys.push_back(std::move(k));
    }
}

int NameIndex::find(const QVariant& value)
{
    if (!m_query.isOpen()) {
        // Let the query raise the error that a locate on it raises.
        m_query.locate(m_column, value);
        return -1;
    }
    if (m_query.rowCount() != int(m_keys.size()))
        rebuild();
    if (value.isNull())
        return -1;
    const auto it = m_rows.constFind(value.toString());
    return it == m_rows.cend() ? -1 : it->front();
}

void NameIndex::remove(const QString& k, int row)
{
    const auto it = m_rows.find(k);
    if (it == m_rows.end())
        return;
    std::vector<int>& rows = *it;
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at != rows.end() && *at == row)
        rows.erase(at);
    if (rows.empty())
        m_rows.erase(it);
}

void NameIndex::insert(const QString& k, int row)
{
    std::vector<int>& rows = m_rows[k];
    rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
}

void NameIndex::posted(int row)
{
    if (row < 0 || row >= m_query.rowCount() || size_t(row) > m_keys.size()) {
        rebuild();
        return;
    }
    Key k = key(m_query.rowValue(row, m_column));
    if (size_t(row) == m_keys.size()) {
        if (k)
            insert(*k, row);
        m_keys.push_back(std::move(k));
        return;
    }
    Key& old = m_keys[size_t(row)];
    if (old == k)
        return;
    if (old)
        remove(*old, row);
    if (k)
        insert(*k, row);
    old = std::move(k);
}

} // namespace exchange
