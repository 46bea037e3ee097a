#include "NameIndex.h"

#include "data/Query.h"

namespace exchange {

namespace {
const QString nameColumn = QStringLiteral("name");
}

NameIndex::NameIndex(data::Query& staff)
    : m_staff(staff)
{
    rebuild();
}

void NameIndex::rebuild()
{
    m_first.clear();
    m_names.clear();
    const int rows = m_staff.rowCount();
    m_names.reserve(size_t(rows));
    m_first.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QVariant name = m_staff.rowValue(r, nameColumn);
        if (!name.isNull() && !m_first.contains(key(name)))
            m_first.insert(key(name), r);
        m_names.push_back(std::move(name));
    }
}

int NameIndex::find(const QVariant& name)
{
    if (!m_staff.isOpen()) {
        // Let the query raise the error that a locate on it raises.
        m_staff.locate(nameColumn, name);
        return -1;
    }
    if (m_staff.rowCount() != int(m_names.size()))
        rebuild();
    if (name.isNull())
        return -1;
    const auto it = m_first.constFind(key(name));
    return it == m_first.cend() ? -1 : *it;
}

void NameIndex::forget(int row)
{
    const QVariant& old = m_names[size_t(row)];
    if (old.isNull())
        return;
    const QString k = key(old);
    const auto it = m_first.find(k);
    if (it == m_first.end() || *it != row)
        return;
    m_first.erase(it);
    for (size_t r = size_t(row) + 1; r < m_names.size(); ++r) {
        if (!m_names[r].isNull() && key(m_names[r]) == k) {
            m_first.insert(k, int(r));
            return;
        }
    }
}

void NameIndex::posted(int row)
{
    if (row < 0 || row >= m_staff.rowCount()) {
        rebuild();
        return;
    }
    if (size_t(row) >= m_names.size()) {
        if (size_t(row) != m_names.size()) {
            rebuild();
            return;
        }
        m_names.emplace_back();
    } else {
        forget(row);
    }
    QVariant name = m_staff.rowValue(row, nameColumn);
    if (!name.isNull()) {
        auto it = m_first.find(key(name));
        if (it == m_first.end())
            m_first.insert(key(name), row);
        else if (*it > row)
            *it = row;
    }
    m_names[size_t(row)] = std::move(name);
}

} // namespace exchange
