// Workbooks written by LibreOffice (see fixtures/make_fixtures.sh) and the date arithmetic of
// the reader process.
#include "Workbooks.h"
#include "data/Error.h"
#include "data/Utils.h"
#include "exchange/BiffCells.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

using exchange::SheetTable;
using exchange::biff::Shown;

QString fixture(const char* name)
{
    return QStringLiteral(FIXTURES_DIR "/") + QString::fromLatin1(name);
}

// A cell as the import stores it.
QString textOf(const SheetTable& sheet, int row, int column)
{
    QString text;
    data::FieldAsString(sheet.cell(row, column), text);
    return text;
}

TEST(SavedWorkbookTest, FormulaCellsGiveTheResultSavedWithThem)
{
    const SheetTable sheet = buildReader().read(fixture("formulas.xls"));
    ASSERT_EQ(sheet.rowCount(), 2);
    EXPECT_EQ(sheet.cell(0, 1), QVariant(1023.0));
    EXPECT_EQ(sheet.cell(1, 1), QVariant(1024.0));
    EXPECT_EQ(sheet.cell(0, 2), QVariant(utc(2119, 1, 11)));
    EXPECT_EQ(sheet.cell(1, 2), QVariant(utc(2010, 11, 22, 13, 45)));
    EXPECT_EQ(textOf(sheet, 0, 3), QStringLiteral("TRUE"));
    EXPECT_EQ(textOf(sheet, 1, 3), QStringLiteral("FALSE"));
}

TEST(SavedWorkbookTest, DatesFollowTheCalendarInBothDateSystems)
{
    for (const char* name : {"dates.xls", "dates1904.xls"}) {
        SCOPED_TRACE(name);
        const SheetTable sheet = buildReader().read(fixture(name));
        ASSERT_GE(sheet.rowCount(), 6);
        EXPECT_EQ(sheet.cell(0, 2), QVariant(utc(2119, 1, 11)));
        EXPECT_EQ(sheet.cell(1, 2), QVariant(utc(9999, 12, 31)));
        EXPECT_EQ(sheet.cell(4, 2), QVariant(utc(2010, 11, 22, 13, 45)))
            << "a date format keeps the time of day the cell holds";
        EXPECT_EQ(sheet.cell(5, 2), QVariant(utc(2000, 2, 29)));
        EXPECT_EQ(textOf(sheet, 0, 1), QStringLiteral("10000000000000000"));
        EXPECT_EQ(textOf(sheet, 4, 2), QStringLiteral("22/11/10 1:45:00 PM"));
    }
    const SheetTable sheet1900 = buildReader().read(fixture("dates.xls"));
    EXPECT_EQ(sheet1900.cell(3, 2), QVariant(utc(1900, 3, 1)));
    const SheetTable sheet1904 = buildReader().read(fixture("dates1904.xls"));
    ASSERT_EQ(sheet1904.rowCount(), 7);
    EXPECT_EQ(sheet1904.cell(6, 2), QVariant(utc(1904, 1, 1))) << "serial 0 of the 1904 system";
}

TEST(SavedWorkbookTest, SerialsBecomeCalendarDates)
{
    struct Case
    {
        double serial;
        bool date1904;
        Shown shown;
        const char* text;
    };
    const Case cases[] = {
        {1, false, Shown::Date, "1900-01-01"},
        {59, false, Shown::Date, "1900-02-28"},
        {60, false, Shown::Date, "1900-02-29"}, // Excel's day that never was
        {61, false, Shown::Date, "1900-03-01"},
        {73051, false, Shown::Date, "2100-01-01"},
        {80000, false, Shown::Date, "2119-01-11"},
        {2958465, false, Shown::Date, "9999-12-31"},
        {2958466, false, Shown::Date, ""},
        {-1, false, Shown::Date, ""},
        {0, true, Shown::Date, "1904-01-01"},
        {1461, true, Shown::Date, "1908-01-01"},
        {2957003, true, Shown::Date, "9999-12-31"},
        {40504.5729166667, false, Shown::Date, "2010-11-22 13:45:00"},
        {40504, false, Shown::DateTime, "2010-11-22 00:00:00"},
        {0.5729166667, false, Shown::Time, "13:45:00"},
        {40504.99999999, false, Shown::Date, "2010-11-23"}, // rounds to the next midnight
    };
    for (const Case& c : cases)
        EXPECT_EQ(exchange::biff::serialText(c.serial, c.date1904, c.shown), c.text)
            << c.serial << (c.date1904 ? " (1904)" : "");
}

// A BIFF8 record: type, length, data.
std::string record(std::uint16_t type, const std::string& data)
{
    std::string r;
    r += char(type & 0xFF);
    r += char(type >> 8);
    r += char(data.size() & 0xFF);
    r += char(data.size() >> 8);
    return r + data;
}

std::string le16(unsigned v)
{
    return {char(v & 0xFF), char(v >> 8 & 0xFF)};
}

// A FORMULA record of row 1 whose saved result is the eight bytes given.
std::string formula(unsigned column, const std::string& result)
{
    return record(0x0006,
                  le16(1) + le16(column) + le16(0) + result + std::string(6, '\0') + le16(1)
                      + std::string(1, '\x1D'));
}

TEST(SavedWorkbookTest, FormulaResultsAsExcelSavesThem)
{
    const std::string bof = record(0x0809, std::string(16, '\0'));
    const std::string eof = record(0x000A, {});
    std::string name = "records";
    const std::string sheetEntryTail = std::string("\0\0", 2) + char(name.size()) + '\0' + name;
    std::string globals = bof + record(0x0022, le16(1));
    const std::size_t boundSheetSize = 4 + 4 + sheetEntryTail.size();
    const std::size_t sheetAt = globals.size() + boundSheetSize + eof.size();
    std::string position = {char(sheetAt & 0xFF), char(sheetAt >> 8), '\0', '\0'};
    globals += record(0x0085, position + sheetEntryTail) + eof;
    const std::string marker = std::string(6, '\0') + "\xFF\xFF";
    std::string sheet = bof;
    // Text: the STRING record after it, its characters going on in a CONTINUE record (wide).
    sheet += formula(0, std::string(1, '\0') + marker.substr(1));
    sheet += record(0x0207, le16(7) + std::string(1, '\0') + "Ann");
    sheet += record(0x003C, std::string(1, '\x01') + std::string(" \0L\0e\0e\0", 8));
    sheet += formula(1, std::string("\x01\0\x01", 3) + marker.substr(3)); // TRUE
    sheet += formula(2, std::string("\x02\0\x07", 3) + marker.substr(3)); // #DIV/0!
    sheet += formula(3, std::string("\x03", 1) + marker.substr(1)); // empty text
    sheet += formula(4, std::string(1, '\0') + marker.substr(1)); // text, but no STRING
    sheet += eof;

    const exchange::biff::Sheet read = exchange::biff::readSheet(globals + sheet, "RECORDS");
    ASSERT_TRUE(read.found);
    EXPECT_TRUE(read.date1904);
    using Kind = exchange::biff::RawCell::Kind;
    const auto at = [&read](unsigned column) { return read.cells.at({1, column}); };
    EXPECT_EQ(at(0).kind, Kind::Text);
    EXPECT_EQ(at(0).text, "Ann Lee");
    EXPECT_EQ(at(1).kind, Kind::Boolean);
    EXPECT_EQ(at(1).number, 1);
    EXPECT_EQ(at(2).text, "#DIV/0!");
    EXPECT_EQ(at(3).kind, Kind::Text);
    EXPECT_EQ(at(3).text, "");
    EXPECT_EQ(at(4).kind, Kind::NoResult);
    EXPECT_TRUE(at(4).formula);

    // Cut anywhere, the stream reads without fault.
    const std::string whole = globals + sheet;
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        exchange::biff::readSheet(whole.substr(0, cut), "RECORDS");
}

TEST(SavedWorkbookTest, AFormulaWithoutResultAndAPasswordAreRefusedClearly)
{
    EXPECT_TRUE(readerErrorOf(fixture("noresult.xls")).contains(QStringLiteral("cell B2")))
        << qPrintable(readerErrorOf(fixture("noresult.xls")));
    EXPECT_TRUE(
        readerErrorOf(fixture("password.xls")).endsWith(QStringLiteral("protected by a password")))
        << qPrintable(readerErrorOf(fixture("password.xls")));
}

} // namespace
