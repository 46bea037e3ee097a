#pragma once

#include "SheetParser.h"
#include "SheetTable.h"

namespace exchange {

// Builds a SheetTable from the reader's stream: the first row becomes the headings (as text),
// the others records. Text arrives as UTF-8 and stays Unicode.
class SheetDecoder final : public wire::SheetSink
{
public:
    void begin(std::uint32_t rows, std::uint32_t columns) override;
    void cell(const wire::Cell& cell) override;

    SheetTable take();

    // A cell as the import sees it: Null, double, QString or a UTC QDateTime. A time of day
    // alone falls on 30/12/1899, the day before the first day of the spreadsheet calendar.
    static QVariant toVariant(const wire::Cell& cell);

private:
    std::uint32_t m_columns = 0;
    QStringList m_headings;
    std::vector<std::vector<QVariant>> m_rows;
    std::vector<QVariant> m_row;
    bool m_headingRow = true;
};

} // namespace exchange
