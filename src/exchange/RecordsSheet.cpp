#include "RecordsSheet.h"

#include "CompoundFile.h"
#include "SheetWriter.h"

#include <cstring>
#include <freexl.h>
#include <string>

namespace exchange {
namespace {

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

int fail(wire::SheetWriter& out, const std::string& message)
{
    out.failure(message);
    return out.ok() ? 1 : 2;
}

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

void writeCell(wire::SheetWriter& out, const FreeXL_CellValue& v)
{
    const char* text = v.value.text_value;
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
        return fail(out, "it is not an Excel 97-2003 workbook");
    Handle book;
    const int rc = freexl_open(path, &book.h);
    if (rc != FREEXL_OK)
        return fail(out, describe(rc));
    unsigned int password = 0;
    if (freexl_get_info(book.h, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK
        && password == FREEXL_BIFF_OBFUSCATED)
        return fail(out, describe(FREEXL_BIFF_OBFUSCATED));

    unsigned int sheets = 0;
    if (freexl_get_info(book.h, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK)
        return fail(out, describe(FREEXL_BIFF_WORKBOOK_NOT_FOUND));
    int found = -1;
    for (unsigned int i = 0; i < sheets && i <= 0xFFFF && found < 0; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(book.h, static_cast<unsigned short>(i), &name) == FREEXL_OK
            && name && equalsIgnoringCase(name, recordsSheetName))
            found = static_cast<int>(i);
    }
    if (found < 0)
        return fail(out, std::string("it has no worksheet named ") + recordsSheetName);

    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(book.h, static_cast<unsigned short>(found)) != FREEXL_OK
        || freexl_worksheet_dimensions(book.h, &rows, &columns) != FREEXL_OK)
        return fail(out, describe(FREEXL_CRAFTED_FILE));
    if (rows > wire::maxRows || columns > wire::maxColumns)
        return fail(out, "its RECORDS sheet is larger than a workbook can hold");

    // Only columns up to the last heading are passed on.
    unsigned short used = 0;
    FreeXL_CellValue value;
    for (unsigned short c = 0; rows > 0 && c < columns; ++c) {
        if (freexl_get_cell_value(book.h, 0, c, &value) == FREEXL_OK && !isEmpty(value))
            used = static_cast<unsigned short>(c + 1);
    }

    out.begin(rows, used);
    for (unsigned int r = 0; r < rows && out.ok(); ++r) {
        for (unsigned short c = 0; c < used; ++c) {
            if (freexl_get_cell_value(book.h, r, c, &value) == FREEXL_OK)
                writeCell(out, value);
            else
                out.empty();
        }
    }
    out.end();
    return out.ok() ? 0 : 2;
}

} // namespace exchange
