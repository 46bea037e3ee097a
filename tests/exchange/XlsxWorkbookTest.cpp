// .xlsx workbooks through the real reader process: fixtures written by LibreOffice and
// openpyxl (see fixtures/xlsx/make_fixtures.sh), and small packages made here for the cases
// no office program writes.
#include "Workbooks.h"
#include "data/Error.h"
#include "exchange/BiffCells.h"
#include "exchange/XlsxText.h"
#include "exchange/ZipPackage.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <zip.h>

namespace {

using exchange::SheetTable;

QString fixture(const char* name)
{
    return QStringLiteral(FIXTURES_DIR "/") + QString::fromLatin1(name);
}

using Parts = std::vector<std::pair<std::string, std::string>>;

// Writes a zip package of these parts (deflated, in this order) with libzip.
QString writeZip(const QString& path, const Parts& parts)
{
    int error = 0;
    zip_t* archive
        = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw data::Error(QStringLiteral("cannot write %1").arg(path));
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw data::Error(QStringLiteral("cannot add %1").arg(QString::fromStdString(name)));
        }
    }
    if (zip_close(archive) != 0)
        throw data::Error(QStringLiteral("cannot write %1").arg(path));
    return path;
}

const std::string mainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string relNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The parts of a workbook whose sheets (name, sheetData content) are worksheets.
Parts workbookParts(const std::vector<std::pair<std::string, std::string>>& sheets)
{
    std::string list, rels;
    Parts parts;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        list += "<sheet name=\"" + sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n
            + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + relNs
            + "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        parts.push_back({"xl/worksheets/sheet" + n + ".xml",
                         "<worksheet xmlns=\"" + mainNs + "\"><sheetData>" + sheets[i].second
                             + "</sheetData></worksheet>"});
    }
    parts.push_back({"_rels/.rels",
                     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                     "relationships\"><Relationship Id=\"rId1\" Type=\""
                         + relNs
                         + "/officeDocument\" Target=\"/xl/workbook.xml\"/></Relationships>"});
    parts.push_back({"xl/workbook.xml",
                     "<workbook xmlns=\"" + mainNs + "\" xmlns:r=\"" + relNs + "\"><sheets>" + list
                         + "</sheets></workbook>"});
    parts.push_back({"xl/_rels/workbook.xml.rels",
                     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                     "relationships\">"
                         + rels + "</Relationships>"});
    return parts;
}

std::string headingRow = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>NAME</t></is></c></row>)";

TEST(XlsxWorkbookTest, GivesTheSameSheetAsTheSameDataSavedAsXls)
{
    for (const char* name : {"formulas", "dates", "dates1904"}) {
        SCOPED_TRACE(name);
        const SheetTable xls = buildReader().read(fixture(name) + QStringLiteral(".xls"));
        const SheetTable xlsx
            = buildReader().read(fixture("xlsx/") + QString::fromLatin1(name) + ".xlsx");
        ASSERT_EQ(xlsx.headings(), xls.headings());
        ASSERT_EQ(xlsx.rowCount(), xls.rowCount());
        for (int r = 0; r < xls.rowCount(); ++r) {
            for (int c = 0; c < xls.headings().size(); ++c)
                EXPECT_EQ(xlsx.cell(r, c), xls.cell(r, c)) << "row " << r << ", column " << c;
        }
    }
}

struct Expected
{
    int row;
    int column;
    QVariant value;
};

TEST(XlsxWorkbookTest, ReadsTheCellsOfWorkbooksOtherProgramsWrote)
{
    const QVariant empty;
    struct Case
    {
        const char* file;
        QStringList headings;
        int rows;
        std::vector<Expected> cells;
    };
    const Case cases[] = {
        // LibreOffice: shared strings with rich text runs, a sheet named "Records" after
        // another, empty rows and columns left out of the XML, a text and an error result.
        {"xlsx/mixed.xlsx",
         {"NAME", "STAFF_ID", "", "DATE_JOIN", "POST"},
         4,
         {{0, 0, QStringLiteral("陈大文 Chan")},
          {0, 1, 0.000125},
          {0, 2, empty},
          {0, 3, utc(2004, 3, 5)},
          {0, 4, QStringLiteral("Sales Lead")},
          {0, 5, empty}, // right of the last heading
          {1, 0, empty},
          {2, 4, empty},
          {3, 0, QStringLiteral("Bob")},
          {3, 1, -12345678.5}, // a format with quoted "dd" is still a number
          {3, 3, 1.0}, // a truth value, as an .xls workbook gives it
          {3, 4, QStringLiteral("#DIV/0!")}}},
        // openpyxl: the only sheet (named Staff), inline strings, the 1904 date system.
        {"xlsx/only1904.xlsx",
         {"NAME", "DATE_JOIN", "SEEN", "ACTIVE", "POST", "ID"},
         5,
         {{0, 0, QStringLiteral("Ann Lee")},
          {0, 1, utc(2004, 3, 5)},
          {0, 2, utc(2010, 11, 22, 13, 45)},
          {0, 3, 1.0},
          {0, 4, 1.5}, // "[Magenta]0.00": a colour, not minutes
          {0, 5, 1e16},
          {1, 1, utc(1904, 1, 1)},
          {1, 2, utc(1899, 12, 30, 10, 30)},
          {1, 3, 0.0},
          {1, 4, -2.0},
          {2, 2, empty},
          {4, 2, QStringLiteral("far down")}}},
        // openpyxl: RECORDS among other sheets; a formula without result right of the last
        // heading is not read.
        {"xlsx/records.xlsx",
         {"NAME", "DATE_JOIN", "", "POST"},
         2,
         {{0, 0, QStringLiteral("Cy")},
          {0, 1, utc(1900, 3, 1)},
          {0, 3, QStringLiteral("Clerk")},
          {1, 1, utc(2119, 1, 11, 8, 5)},
          {1, 3, empty}}},
        // Cells without references, numbers in every XML form, a date cell, escaped
        // characters, a phonetic guide left out, formula results of each kind.
        {"xlsx/handmade.xlsx",
         {"NAME", "N", "D", "F"},
         4,
         {{0, 0, QStringLiteral("漢字 A_x000D_B&C")},
          {0, 1, 1250.0},
          {0, 2, utc(2004, 3, 5, 10, 30)},
          {0, 3, QStringLiteral("ok")},
          {1, 1, empty},
          {2, 1, 7.0},
          {2, 3, QStringLiteral("TRUE")},
          {3, 0, QStringLiteral("After")},
          {3, 1, -0.005},
          {3, 3, QStringLiteral("#DIV/0!")}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const SheetTable sheet = buildReader().read(fixture(c.file));
        EXPECT_EQ(sheet.headings(), c.headings);
        EXPECT_EQ(sheet.rowCount(), c.rows);
        for (const Expected& e : c.cells)
            EXPECT_EQ(sheet.cell(e.row, e.column), e.value) << e.row << ", " << e.column;
    }
}

TEST(XlsxWorkbookTest, SparseCellsLandInTheirColumnsUpToTheLargestSheet)
{
    QTemporaryDir dir;
    const QString path = writeZip(
        dir.filePath(QStringLiteral("wide.xlsx")),
        workbookParts({{"Staff",
                        R"(<row r="1"><c r="XFD1" t="inlineStr"><is><t>LAST</t></is></c></row>)"
                        R"(<row r="3"><c r="XFD3"><v>2</v></c><c r="B3"><v>1</v></c></row>)"}}));
    const SheetTable sheet = buildReader().read(path);
    ASSERT_EQ(sheet.headings().size(), 16384);
    EXPECT_EQ(sheet.headings().last(), QStringLiteral("LAST"));
    ASSERT_EQ(sheet.rowCount(), 2);
    EXPECT_EQ(sheet.cell(1, 1), QVariant(1.0));
    EXPECT_EQ(sheet.cell(1, 16383), QVariant(2.0));
    EXPECT_EQ(sheet.cell(0, 16383), QVariant());
}

TEST(XlsxWorkbookTest, DamagedProtectedAndHostileWorkbooksAreRefusedClearly)
{
    QTemporaryDir dir;
    const auto file = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    QFile::copy(fixture("xlsx/password.xlsx"), file("protected.xls"));
    QFile::copy(fixture("dates.xls"), file("renamed.xlsx"));
    QFile lo(fixture("xlsx/mixed.xlsx"));
    ASSERT_TRUE(lo.open(QIODevice::ReadOnly));
    const QByteArray whole = lo.readAll();

    // Far more entries than a workbook has, each empty.
    Parts many = workbookParts({{"RECORDS", headingRow}});
    for (int i = 0; i < 10'001; ++i)
        many.push_back({"docProps/x" + std::to_string(i), {}});

    struct Case
    {
        QString path;
        QString reason;
    };
    const Case cases[] = {
        {fixture("xlsx/bomb.xlsx"),
         QStringLiteral("its part 'xl/worksheets/sheet1.xml' unpacks to far more than a "
                        "workbook's XML can; it may be a zip bomb")},
        // The same, its directory and local header claiming the part unpacks to 1 kB.
        {fixture("xlsx/liar.xlsx"),
         QStringLiteral("its part 'xl/worksheets/sheet1.xml' unpacks to far more than a "
                        "workbook's XML can; it may be a zip bomb")},
        {writeZip(file("many.xlsx"), many),
         QStringLiteral(
             "its zip package holds more entries than a workbook has; it may be a zip bomb")},
        {fixture("xlsx/doctype.xlsx"),
         QStringLiteral("its part 'xl/workbook.xml' declares a document type, which a workbook "
                        "never does")},
        {fixture("xlsx/noresult.xlsx"),
         QStringLiteral("the formula in cell D3 holds no result; open the workbook in Excel or "
                        "LibreOffice and save it again")},
        {fixture("xlsx/password.xlsx"), QStringLiteral("it is protected by a password")},
        {file("protected.xls"), QStringLiteral("it is protected by a password")},
        {file("renamed.xlsx"),
         QStringLiteral("its name says an Excel workbook (.xlsx), but it holds an Excel 97-2003 "
                        "workbook (.xls)")},
        {writeFile(file("cut.xlsx"), whole.left(whole.size() / 2)),
         QStringLiteral("it is not a zip package")},
        {writeZip(file("odt.xlsx"),
                  {{"mimetype", "application/vnd.oasis.opendocument.text"},
                   {"content.xml", "<office:document/>"}}),
         QStringLiteral("it is a zip package without an Excel workbook in it")},
        {writeZip(file("two.xlsx"), workbookParts({{"Staff", headingRow}, {"Old", headingRow}})),
         QStringLiteral("it has no worksheet named RECORDS and more than one sheet")},
        {writeZip(file("farcell.xlsx"),
                  workbookParts({{"RECORDS", R"(<row><c r="XFE1"><v>1</v></c></row>)"}})),
         QStringLiteral("its sheet has a cell at 'XFE1', outside the largest sheet")},
        {writeZip(file("farrow.xlsx"),
                  workbookParts({{"RECORDS", R"(<row r="1048577"><c><v>1</v></c></row>)"}})),
         QStringLiteral("its sheet has a row numbered '1048577', outside the largest sheet")},
        {writeZip(file("apart.xlsx"),
                  workbookParts({{"RECORDS",
                                  R"(<row r="1"><c r="XFD1"><v>1</v></c></row>)"
                                  R"(<row r="1048576"><c><v>1</v></c></row>)"}})),
         QStringLiteral("its sheet is too large to import (1048576 rows by 16384 columns)")},
        {writeZip(file("number.xlsx"),
                  workbookParts({{"RECORDS", R"(<row><c r="C1"><v>1,5</v></c></row>)"}})),
         QStringLiteral("cell C1 of its sheet holds a number that cannot be read")},
        {writeZip(file("shared.xlsx"),
                  workbookParts({{"RECORDS", R"(<row><c r="B1" t="s"><v>0</v></c></row>)"}})),
         QStringLiteral("cell B1 of its sheet refers to a shared text the workbook does not "
                        "hold")},
        {writeZip(file("xml.xlsx"), workbookParts({{"RECORDS", "<row><c></row>"}})),
         QStringLiteral("its part 'xl/worksheets/sheet1.xml' is not well-formed XML (line 1)")},
    };
    for (const Case& c : cases) {
        const QString message = readerErrorOf(c.path);
        EXPECT_TRUE(
            message.startsWith(QStringLiteral("Cannot import '%1': %2").arg(c.path, c.reason)))
            << qPrintable(message);
    }
}

TEST(XlsxWorkbookTest, PackageLimitsHoldWhileInflating)
{
    QTemporaryDir dir;
    const std::string sheet
        = "<worksheet><sheetData>" + std::string(3 << 20, ' ') + "</sheetData></worksheet>";
    const QString path = writeZip(dir.filePath(QStringLiteral("p.xlsx")),
                                  {{"a.xml", sheet}, {"b.xml", sheet}, {"c.xml", "<a/>"}});
    struct Case
    {
        exchange::ZipLimits limits;
        std::string failure; // of reading a.xml and then b.xml whole
    };
    const Case cases[] = {
        // Blanks pack very tightly, but 3 MB under so high a ratio is no bomb.
        {{.maxRatio = 200'000}, ""},
        {{.maxRatio = 200},
         "its part 'a.xml' unpacks to far more than a workbook's XML can; it may be a zip bomb"},
        {{.maxEntryBytes = 3 << 20, .maxRatio = 200'000},
         "it unpacks to more than a workbook may hold (part 'a.xml'); it may be a zip bomb"},
        {{.maxTotalBytes = 5 << 20, .maxRatio = 200'000},
         "it unpacks to more than a workbook may hold (part 'b.xml'); it may be a zip bomb"},
    };
    for (const Case& c : cases) {
        exchange::ZipPackage package(QFile::encodeName(path).constData(), c.limits);
        // A part whose directory entry already says it is too large is not even opened.
        std::string failure;
        try {
            package.open("a.xml")->readAll();
            package.open("b.xml")->readAll();
            failure = package.failure();
        } catch (const exchange::PackageError& e) {
            failure = e.what();
        }
        EXPECT_EQ(failure, c.failure);
    }
    exchange::ZipPackage three(QFile::encodeName(path).constData(), {.maxEntries = 3});
    EXPECT_TRUE(three.contains("C.XML")) << "part names ignore letter case";
    EXPECT_THROW(exchange::ZipPackage(QFile::encodeName(path).constData(), {.maxEntries = 2}),
                 exchange::PackageError);
}

TEST(XlsxWorkbookTest, NumberFormatsShowDatesAndTimesByTheirFields)
{
    using exchange::biff::Shown;
    const std::pair<const char*, Shown> cases[] = {
        {"General", Shown::Number},
        {"0.00;[Red]-0.00", Shown::Number},
        {"[Magenta]0.00", Shown::Number},
        {"[Blue][<=100]0", Shown::Number},
        {"\"dd \"0.00", Shown::Number},
        {"0\\d", Shown::Number},
        {"yyyy\\年m\\月d\\日", Shown::Date},
        {"[$-409]mmmm d, yyyy", Shown::Date},
        {"d/m/yyyy h:mm", Shown::DateTime},
        {"h:mm AM/PM", Shown::Time},
        {"mm:ss", Shown::Time},
        {"[h]:mm", Shown::Time},
        {"[MM]:ss", Shown::Time},
    };
    for (const auto& [code, shown] : cases)
        EXPECT_EQ(exchange::biff::formatCodeShown(code), shown) << code;
}

TEST(XlsxWorkbookTest, NumbersAndCellReferencesInTheirXmlForms)
{
    using exchange::xlsx::parseCellReference;
    using exchange::xlsx::parseNumber;
    const std::pair<const char*, std::optional<double>> numbers[] = {
        {"12", 12},
        {" -0.5 ", -0.5},
        {"1.25E+3", 1250},
        {"+7", 7},
        {".5e-2", 0.005},
        {"1e400", std::nullopt},
        {"NaN", std::nullopt},
        {"0x10", std::nullopt},
        {"1,5", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(parseNumber(QString::fromLatin1(text)), value) << text;

    struct Reference
    {
        const char* text;
        bool valid;
        std::uint32_t row, column;
    };
    const Reference references[] = {
        {"A1", true, 0, 0},    {"c5", true, 4, 2},
        {"AA10", true, 9, 26}, {"XFD1048576", true, 1048575, 16383},
        {"XFE1", false, 0, 0}, {"A1048577", false, 0, 0},
        {"A0", false, 0, 0},   {"1A", false, 0, 0},
        {"A", false, 0, 0},    {"A1:B2", false, 0, 0},
        {"$A$1", false, 0, 0},
    };
    for (const Reference& r : references) {
        const auto at = parseCellReference(QString::fromLatin1(r.text));
        ASSERT_EQ(at.has_value(), r.valid) << r.text;
        if (at) {
            EXPECT_EQ(at->row, r.row) << r.text;
            EXPECT_EQ(at->column, r.column) << r.text;
            EXPECT_EQ(exchange::xlsx::cellName(at->row, at->column),
                      QString::fromLatin1(r.text).toUpper().toStdString());
        }
    }
}

} // namespace
