#pragma once

#include "report/DataSource.h"

#include <QStringList>
#include <vector>

namespace report {

// Rows held in memory: column names and one list of texts per row.
class TableSource : public DataSource
{
public:
    TableSource() = default;
    TableSource(QStringList columns, std::vector<QStringList> rows);

    void first() override { m_current = 0; }
    void next() override { ++m_current; }
    bool atEnd() const override { return m_current >= qsizetype(m_rows.size()); }
    bool hasColumn(const QString& column) const override { return m_columns.contains(column); }
    QString displayText(const QString& column) const override;

    // Index of the current row, for before-print handlers that hold extra per-row data.
    qsizetype currentRow() const { return m_current; }

private:
    QStringList m_columns;
    std::vector<QStringList> m_rows;
    qsizetype m_current = 0;
};

} // namespace report
