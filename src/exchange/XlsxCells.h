#pragma once

#include "BiffCells.h"

#include <cstdint>
#include <string>
#include <vector>

namespace exchange {
class ZipPackage;
}

namespace exchange::xlsx {

// One cell of a worksheet with a value, as its XML holds it.
struct SheetCell
{
    enum class Kind : std::uint8_t {
        Number, // a number, or a formula's numeric result; shown by the cell's format
        Text, // texts[text]: an inline string, a formula's text or error result, an error
        SharedText, // the shared string numbered text
        Boolean, // number 0 or 1
        FormulaBoolean, // a formula's truth value result, number 0 or 1
        IsoDate, // texts[text]: a date cell (t="d") as "YYYY-MM-DD[ HH:MM:SS]"
        NoResult, // a formula saved without its result
    };
    std::uint32_t row = 0;
    std::uint32_t column = 0;
    Kind kind = Kind::Number;
    biff::Shown shown = biff::Shown::Number;
    std::uint32_t text = 0;
    double number = 0;
};

struct SheetCells
{
    std::vector<SheetCell> cells; // in row order, each place once (the last one written wins)
    std::vector<std::string> texts; // UTF-8
};

// Reads the cells of a worksheet part. Shared strings are checked against their count and
// cell formats taken from formats (by a cell's s attribute). Throws PackageError naming the
// cell for a reference outside the largest sheet or a value that cannot be read.
SheetCells readSheetCells(ZipPackage& package, const std::string& part, std::size_t sharedStrings,
                          const std::vector<biff::Shown>& formats);

} // namespace exchange::xlsx
