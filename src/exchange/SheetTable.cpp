#include "SheetTable.h"

namespace exchange {

SheetTable::SheetTable(QStringList headings, std::vector<std::vector<QVariant>> rows)
    : m_headings(std::move(headings))
    , m_rows(std::move(rows))
{ }

int SheetTable::column(const QString& name) const
{
    for (int i = 0; i < m_headings.size(); ++i) {
        if (m_headings[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QVariant> SheetTable::cell(int row, int column) const
{
    if (column < 0)
        return std::nullopt;
    const std::vector<QVariant>& cells = m_rows.at(size_t(row));
    return size_t(column) < cells.size() ? cells[size_t(column)] : QVariant();
}

} // namespace exchange
