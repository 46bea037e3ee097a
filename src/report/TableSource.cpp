#include "TableSource.h"

namespace report {

TableSource::TableSource(QStringList columns, std::vector<QStringList> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows))
{ }

QString TableSource::displayText(const QString& column) const
{
    const qsizetype index = m_columns.indexOf(column);
    if (atEnd() || index < 0)
        return {};
    return m_rows[std::size_t(m_current)].value(index);
}

} // namespace report
