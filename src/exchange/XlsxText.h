#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace exchange::xlsx {

// The largest sheet an Excel workbook can hold.
inline constexpr std::uint32_t maxSheetRows = 1'048'576;
inline constexpr std::uint32_t maxSheetColumns = 16'384;

// Text of a workbook as UTF-8, its escaped characters ("_x000D_", "_x005F_") restored.
std::string unescapedText(const QString& text);

struct CellReference
{
    std::uint32_t row = 0; // from 0
    std::uint32_t column = 0; // from 0
};

// "C5" as row 4, column 2; nothing when it is no reference or lies outside the largest sheet.
std::optional<CellReference> parseCellReference(QStringView text);
// "C5" for row 4, column 2 (both from 0).
std::string cellName(std::uint32_t row, std::uint32_t column);

// A number as the XML holds it ("12", "-0.5", "1.25E+3", " 7 "); nothing when it is none or
// is not finite.
std::optional<double> parseNumber(QStringView text);

} // namespace exchange::xlsx
