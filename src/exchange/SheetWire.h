#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The framed stream in which the workbook reader hands one worksheet to the program.
// Everything is little-endian:
//
//   stream := "MXR1" ( failure | sheet )
//   failure := 'F' u32 length, UTF-8 message
//   sheet := 'S' u32 rows u32 columns, rows * columns cells in row order, 'E'
//   cell := 'N' (empty) | 'D' f64 (number) | 'T' u32 length, UTF-8 text
//         | 'A' u32 length, date or time as "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS"
//
// Nothing may follow the last frame. The parser trusts none of it.
namespace exchange::wire {

inline constexpr char magic[4] = {'M', 'X', 'R', '1'};
inline constexpr char failureTag = 'F';
inline constexpr char sheetTag = 'S';
inline constexpr char endTag = 'E';

// The largest sheet a workbook can hold (an .xlsx one; an Excel 97 sheet ends at 65,536 rows
// and 256 columns).
inline constexpr std::uint32_t maxRows = 1'048'576;
inline constexpr std::uint32_t maxColumns = 16'384;
// The cells of the largest Excel 97 sheet.
inline constexpr std::uint32_t maxXlsCells = 65'536 * 256;

enum class CellKind : char { Empty = 'N', Number = 'D', Text = 'T', DateTime = 'A' };

struct Cell
{
    CellKind kind = CellKind::Empty;
    double number = 0;
    std::string text; // Text and DateTime
};

} // namespace exchange::wire
