#pragma once

#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace exchange {

// One worksheet as the import reads it: the first row's cells are the headings, every further
// row one record. Cells are Null (empty), double (numbers), QString (text) or QDateTime
// (dates and times, in UTC so that no clock change can make one invalid).
class SheetTable
{
public:
    SheetTable() = default;
    SheetTable(QStringList headings, std::vector<std::vector<QVariant>> rows);

    const QStringList& headings() const { return m_headings; }
    int rowCount() const { return int(m_rows.size()); }

    // The first column whose heading equals name without regard to letter case; -1 if none.
    int column(const QString& name) const;
    // A cell of a record; nullopt for an absent column (-1), Null past the row's end.
    std::optional<QVariant> cell(int row, int column) const;

    void appendRow(std::vector<QVariant> row) { m_rows.push_back(std::move(row)); }

private:
    QStringList m_headings;
    std::vector<std::vector<QVariant>> m_rows;
};

} // namespace exchange
