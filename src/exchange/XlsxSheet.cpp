#include "XlsxSheet.h"

#include "RecordsSheet.h"
#include "SheetName.h"
#include "SheetWriter.h"
#include "XlsxCells.h"
#include "XlsxParts.h"
#include "XlsxText.h"
#include "ZipPackage.h"

#include <algorithm>

namespace exchange {
namespace {

using xlsx::SheetCell;

// The worksheet part the import reads.
std::string recordsSheetPart(xlsx::Workbook& book, const std::string& workbookPart,
                             ZipPackage& package,
                             const std::map<std::string, xlsx::Relationship>& relationships)
{
    if (book.sheets.empty())
        throw PackageError("it holds no worksheet");
    const auto named
        = std::find_if(book.sheets.begin(), book.sheets.end(), [](const xlsx::WorkbookSheet& s) {
              return sameSheetName(s.name, recordsSheetName);
          });
    if (named == book.sheets.end() && book.sheets.size() > 1)
        throw PackageError(std::string("it has no worksheet named ") + recordsSheetName
                           + " and more than one sheet");
    const xlsx::WorkbookSheet& sheet = named != book.sheets.end() ? *named : book.sheets.front();
    const auto r = relationships.find(sheet.relationshipId);
    if (r == relationships.end() || !package.contains(r->second.target))
        throw PackageError("its sheet '" + sheet.name + "' is missing from the package ("
                           + workbookPart + "); it is damaged");
    if (r->second.type != "worksheet")
        throw PackageError("its sheet '" + sheet.name + "' is a chart, not a worksheet");
    return r->second.target;
}

bool hasValue(const SheetCell& cell, const xlsx::SheetCells& sheet,
              const std::vector<std::string>& shared)
{
    switch (cell.kind) {
    case SheetCell::Kind::Text:
        return !sheet.texts[cell.text].empty();
    case SheetCell::Kind::SharedText:
        return !shared[cell.text].empty();
    default:
        return true;
    }
}

void writeText(wire::SheetWriter& out, const std::string& text)
{
    if (text.empty())
        out.empty();
    else
        out.text(text.data(), text.size());
}

void writeCell(wire::SheetWriter& out, const SheetCell& cell, const xlsx::SheetCells& sheet,
               const std::vector<std::string>& shared, bool date1904)
{
    switch (cell.kind) {
    case SheetCell::Kind::Number:
        if (cell.shown != biff::Shown::Number) {
            const std::string text = biff::serialText(cell.number, date1904, cell.shown);
            if (!text.empty()) {
                out.dateTime(text.data(), text.size());
                return;
            }
        }
        out.number(cell.number); // a number, or a serial no calendar holds
        return;
    case SheetCell::Kind::Boolean:
        out.number(cell.number); // as a truth value cell of an .xls workbook reads
        return;
    case SheetCell::Kind::FormulaBoolean:
        writeText(out, cell.number != 0 ? "TRUE" : "FALSE");
        return;
    case SheetCell::Kind::Text:
        writeText(out, sheet.texts[cell.text]);
        return;
    case SheetCell::Kind::SharedText:
        writeText(out, shared[cell.text]);
        return;
    case SheetCell::Kind::IsoDate:
        out.dateTime(sheet.texts[cell.text].data(), sheet.texts[cell.text].size());
        return;
    case SheetCell::Kind::NoResult:
        out.empty();
        return;
    }
}

int writeSheet(ZipPackage& package, wire::SheetWriter& out)
{
    // The package's own relationships name the workbook part; "xl/workbook.xml" by custom.
    const auto root = xlsx::readRelationships(package, "");
    const xlsx::Relationship* document = xlsx::findRelationship(root, "officeDocument");
    const std::string workbookPart = document ? document->target : "xl/workbook.xml";
    if (!package.contains(workbookPart))
        throw PackageError("it is a zip package without an Excel workbook in it");
    const auto relationships = xlsx::readRelationships(package, workbookPart);
    xlsx::Workbook book = xlsx::readWorkbook(package, workbookPart);
    const std::string sheetPart = recordsSheetPart(book, workbookPart, package, relationships);

    std::vector<std::string> shared;
    if (const xlsx::Relationship* r = xlsx::findRelationship(relationships, "sharedStrings");
        r && package.contains(r->target))
        shared = xlsx::readSharedStrings(package, r->target);
    std::vector<biff::Shown> formats;
    if (const xlsx::Relationship* r = xlsx::findRelationship(relationships, "styles");
        r && package.contains(r->target))
        formats = xlsx::readCellFormats(package, r->target);
    const xlsx::SheetCells sheet = xlsx::readSheetCells(package, sheetPart, shared.size(), formats);

    const std::uint32_t rows = sheet.cells.empty() ? 0 : sheet.cells.back().row + 1;
    // Only columns up to the last heading are passed on.
    std::uint32_t used = 0;
    for (const SheetCell& cell : sheet.cells) {
        if (cell.row > 0)
            break;
        if (hasValue(cell, sheet, shared))
            used = cell.column + 1;
    }
    // As many cells as the largest Excel 97 sheet holds, the most the import takes from an
    // .xls workbook: far beyond any staff list, and a bound on a sheet whose few cells lie
    // far apart.
    if (std::uint64_t(rows) * used > std::uint64_t(wire::maxXlsCells))
        return out.fail("its sheet is too large to import (" + std::to_string(rows) + " rows by "
                        + std::to_string(used) + " columns)");
    // A formula without a saved result has no value to pass on: refused before the sheet
    // begins, naming the first such cell.
    for (const SheetCell& cell : sheet.cells) {
        if (cell.kind == SheetCell::Kind::NoResult && cell.column < used)
            return out.fail("the formula in cell " + xlsx::cellName(cell.row, cell.column)
                            + " holds no result; open the workbook in Excel or"
                              " LibreOffice and save it again");
    }

    out.begin(rows, used);
    auto next = sheet.cells.begin();
    for (std::uint32_t r = 0; r < rows && out.ok(); ++r) {
        for (std::uint32_t c = 0; c < used; ++c) {
            while (next != sheet.cells.end()
                   && (next->row < r || (next->row == r && next->column < c)))
                ++next;
            if (next != sheet.cells.end() && next->row == r && next->column == c)
                writeCell(out, *next, sheet, shared, book.date1904);
            else
                out.empty();
        }
    }
    out.end();
    return out.ok() ? 0 : 2;
}

} // namespace

int writeXlsxRecordsSheet(ZipPackage& package, wire::SheetWriter& out)
{
    try {
        return writeSheet(package, out);
    } catch (const PackageError& e) {
        return out.fail(e.what());
    } catch (const std::bad_alloc&) {
        return out.fail("there is not enough memory to read it");
    }
}

int writeXlsxRecordsSheet(const char* path, wire::SheetWriter& out)
{
    try {
        ZipPackage package(path);
        return writeXlsxRecordsSheet(package, out);
    } catch (const PackageError& e) {
        return out.fail(e.what());
    }
}

} // namespace exchange
