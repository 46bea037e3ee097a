#include "RecordsSheet.h"

#include "BiffCells.h"
#include "CompoundFile.h"
#include "SheetWriter.h"

#include <cstring>
#include <freexl.h>
#include <string>

namespace exchange {
namespace {

// No Excel 97-2003 workbook comes near this; the reader process may hold it twice.
constexpr std::size_t maxWorkbookBytes = 256u * 1024 * 1024;

const char* describe(int rc)
{
    switch (rc) {
    case FREEXL_FILE_NOT_FOUND:
        return "the file cannot be opened";
    case FREEXL_INSUFFICIENT_MEMORY:
        return "there is not enough memory to read it";
    case FREEXL_BIFF_OBFUSCATED:
        return "it is protected by a password";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return "it holds no workbook that can be read";
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return "its text uses a character set that cannot be read";
    case FREEXL_CRAFTED_FILE:
        return "it is damaged beyond repair";
    default:
        return "it is damaged or not an Excel workbook";
    }
}

bool equalsIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(*a) != lower(*b))
            return false;
    }
    return *a == *b;
}

class Handle
{
public:
    ~Handle()
    {
        if (h)
            freexl_close(h);
    }
    const void* h = nullptr;
};

bool isEmpty(const FreeXL_CellValue& v)
{
    switch (v.type) {
    case FREEXL_CELL_INT:
    case FREEXL_CELL_DOUBLE:
        return false;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return !v.value.text_value || !*v.value.text_value;
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return !v.value.text_value;
    default:
        return true;
    }
}

// "B3" for row 2, column 1 (both from 0).
std::string cellName(unsigned int row, unsigned short column)
{
    std::string letters;
    for (unsigned c = column + 1u; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(row + 1);
}

void writeText(wire::SheetWriter& out, const std::string& text)
{
    if (text.empty())
        out.empty();
    else
        out.text(text.data(), text.size());
}

void writeSerial(wire::SheetWriter& out, double serial, bool date1904, biff::Shown shown)
{
    const std::string text = biff::serialText(serial, date1904, shown);
    if (text.empty())
        out.number(serial); // no day of the calendar: kept as the number it is
    else
        out.dateTime(text.data(), text.size());
}

// A formula cell by the result saved with it; false when it holds none.
bool writeFormula(wire::SheetWriter& out, const biff::RawCell& cell, bool date1904)
{
    switch (cell.kind) {
    case biff::RawCell::Kind::Number:
        if (cell.shown == biff::Shown::Number)
            out.number(cell.number);
        else
            writeSerial(out, cell.number, date1904, cell.shown);
        return true;
    case biff::RawCell::Kind::Text:
    case biff::RawCell::Kind::Error:
        writeText(out, cell.text);
        return true;
    case biff::RawCell::Kind::Boolean:
        writeText(out, cell.number != 0 ? "TRUE" : "FALSE");
        return true;
    case biff::RawCell::Kind::NoResult:
        break;
    }
    return false;
}

void writeCell(wire::SheetWriter& out, const FreeXL_CellValue& v, const biff::RawCell* raw,
               bool date1904)
{
    const char* text = v.value.text_value;
    // The library's own date text counts every century year as a leap year: the date is
    // worked out here from the serial number instead.
    if (raw && raw->kind == biff::RawCell::Kind::Number) {
        if (v.type == FREEXL_CELL_DATE || v.type == FREEXL_CELL_DATETIME
            || v.type == FREEXL_CELL_TIME) {
            const biff::Shown shown = v.type == FREEXL_CELL_DATE ? biff::Shown::Date
                : v.type == FREEXL_CELL_TIME                     ? biff::Shown::Time
                                                                 : biff::Shown::DateTime;
            writeSerial(out, raw->number, date1904, shown);
            return;
        }
    }
    switch (v.type) {
    case FREEXL_CELL_INT:
        out.number(v.value.int_value);
        return;
    case FREEXL_CELL_DOUBLE:
        out.number(v.value.double_value);
        return;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        if (text)
            out.text(text, std::strlen(text));
        else
            out.empty();
        return;
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        if (text)
            out.dateTime(text, std::strlen(text));
        else
            out.empty();
        return;
    default:
        out.empty();
    }
}

} // namespace

int writeRecordsSheet(const char* path, wire::SheetWriter& out)
{
    if (!fileHasCompoundSignature(path))
        return out.fail("it is not an Excel 97-2003 workbook");
    // The workbook stream, read here for what the library does not give: whether the
    // workbook is enciphered, its date system, the serial numbers behind dates and the
    // results saved with formulas. A file too large to hold is left to the library alone.
    biff::Sheet raw;
    {
        std::string file, stream;
        if (readWholeFile(path, maxWorkbookBytes, file)) {
            if (readCompoundStream(file, "Workbook", stream))
                raw = biff::readSheet(stream, recordsSheetName);
            // An .xlsx workbook protected by a password: its package, enciphered, in a
            // compound file.
            else if (readCompoundStream(file, "EncryptedPackage", stream))
                raw.encrypted = true;
        }
    }
    if (raw.encrypted)
        return out.fail(describe(FREEXL_BIFF_OBFUSCATED));
    const auto rawCell = [&raw](unsigned int r, unsigned short c) -> const biff::RawCell* {
        const auto it = raw.cells.find({r, c});
        return it == raw.cells.end() ? nullptr : &it->second;
    };

    Handle book;
    const int rc = freexl_open(path, &book.h);
    if (rc != FREEXL_OK)
        return out.fail(describe(rc));
    unsigned int password = 0;
    if (freexl_get_info(book.h, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK
        && password == FREEXL_BIFF_OBFUSCATED)
        return out.fail(describe(FREEXL_BIFF_OBFUSCATED));

    unsigned int sheets = 0;
    if (freexl_get_info(book.h, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK)
        return out.fail(describe(FREEXL_BIFF_WORKBOOK_NOT_FOUND));
    int found = -1;
    for (unsigned int i = 0; i < sheets && i <= 0xFFFF && found < 0; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(book.h, static_cast<unsigned short>(i), &name) == FREEXL_OK
            && name && equalsIgnoringCase(name, recordsSheetName))
            found = static_cast<int>(i);
    }
    if (found < 0)
        return out.fail(std::string("it has no worksheet named ") + recordsSheetName);

    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(book.h, static_cast<unsigned short>(found)) != FREEXL_OK
        || freexl_worksheet_dimensions(book.h, &rows, &columns) != FREEXL_OK)
        return out.fail(describe(FREEXL_CRAFTED_FILE));
    if (rows > wire::maxRows || columns > wire::maxColumns)
        return out.fail("its RECORDS sheet is larger than a workbook can hold");

    // Only columns up to the last heading are passed on.
    unsigned short used = 0;
    FreeXL_CellValue value;
    for (unsigned short c = 0; rows > 0 && c < columns; ++c) {
        const biff::RawCell* formula = rawCell(0, c);
        if (formula && formula->formula) {
            if (formula->kind != biff::RawCell::Kind::Text || !formula->text.empty())
                used = static_cast<unsigned short>(c + 1);
        } else if (freexl_get_cell_value(book.h, 0, c, &value) == FREEXL_OK && !isEmpty(value)) {
            used = static_cast<unsigned short>(c + 1);
        }
    }

    // A formula without a saved result has no value to pass on: refused before the sheet
    // begins, naming the first such cell.
    for (const auto& [at, cell] : raw.cells) {
        if (cell.formula && cell.kind == biff::RawCell::Kind::NoResult && at.first < rows
            && at.second < used)
            return out.fail("the formula in cell " + cellName(at.first, at.second)
                            + " holds no result; open the workbook in Excel or"
                              " LibreOffice and save it again");
    }
    out.begin(rows, used);
    for (unsigned int r = 0; r < rows && out.ok(); ++r) {
        for (unsigned short c = 0; c < used; ++c) {
            const biff::RawCell* cell = rawCell(r, c);
            if (cell && cell->formula && writeFormula(out, *cell, raw.date1904))
                continue;
            if (freexl_get_cell_value(book.h, r, c, &value) == FREEXL_OK)
                writeCell(out, value, cell, raw.date1904);
            else
                out.empty();
        }
    }
    out.end();
    return out.ok() ? 0 : 2;
}

} // namespace exchange
