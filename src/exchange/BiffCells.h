#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace exchange::biff {

// How a cell's number format shows its value.
enum class Shown { Number, Date, Time, DateTime };

// What the workbook stream itself holds for one cell, where the workbook library gives less:
// the raw number behind a date, and the result a formula had when the file was saved.
struct RawCell
{
    enum class Kind {
        Number, // a number, or a formula's numeric result
        Text, // a formula's text result
        Boolean, // a formula's truth value result
        Error, // a formula's error result, as Excel shows it ("#DIV/0!")
        NoResult // a formula that holds no result
    };
    Kind kind = Kind::Number;
    bool formula = false;
    double number = 0; // Number; Boolean as 0 or 1
    std::string text; // Text and Error, UTF-8
    Shown shown = Shown::Number; // by the cell's format
};

struct Sheet
{
    bool encrypted = false; // the workbook is protected by a password
    bool found = false; // the sheet was found in the stream
    bool date1904 = false; // serial 0 is 1 January 1904 rather than 31 December 1899
    std::map<std::pair<std::uint32_t, std::uint16_t>, RawCell> cells; // by row and column
};

// Reads the BIFF8 workbook stream for the worksheet named sheetName (ASCII, compared without
// letter case): the numbers, formula results and formats of its cells. Never reads outside
// the stream, whatever it holds.
Sheet readSheet(const std::string& stream, const char* sheetName);

// What a built-in number format (by its id) shows.
Shown builtinFormatShown(unsigned format);
// What a number format code shows, by its first section: day, month or year fields make a
// date, hours or seconds (and minutes beside them) a time. Quoted and escaped text, colours,
// conditions and locales in brackets show nothing.
Shown formatCodeShown(const std::string& code);

// The calendar date and time of a date serial in the workbook's date system, as the reader's
// stream writes them ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS"), by how the cell
// shows it; a date part is kept whenever the serial has a day, and a time part whenever it
// has a time of day. Empty when the serial is not a date Excel can hold.
std::string serialText(double serial, bool date1904, Shown shown);

} // namespace exchange::biff
