// The prepared report file: real card sheets and check lists come back drawing the same
// pixels, and damaged, cut short, foreign or newer files are refused with a clear message.

#include "report/PreparedReportFile.h"

#include "PrintFixture.h"
#include "cards/print/TqrMemList.h"
#include "data/Error.h"
#include "report/PageCapture.h"
#include "report/ReportLayout.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>

using namespace printfixture;
namespace file = report::preparedreport;

namespace {

// Qt's raster painter scales a picture with results that depend, in the last bit, on where
// its rows lie in memory; pictures are drawn from copies held as Qt holds its own, so that
// only what the file keeps decides the pixels.
QImage painted(report::Page page)
{
    for (report::PageItem& item : page.items) {
        if (auto* image = std::get_if<report::ImageItem>(&item))
            image->image = image->image.copy();
    }
    return printfixture::paintedPage(page, 120, QImage::Format_ARGB32_Premultiplied);
}

QString refusal(const QByteArray& bytes)
{
    try {
        report::decodePreparedReport(bytes);
    } catch (const data::Error& e) {
        return e.message();
    }
    return QStringLiteral("(read)");
}

const QString notAReport = QStringLiteral("The file is not a saved report.");
const QString damaged = QStringLiteral("The saved report is damaged or incomplete.");

// Both round trips of a report: the same pixels on every page, and the same bytes again.
void expectSameAfterRoundTrip(const std::vector<report::Page>& pages)
{
    const QByteArray bytes = report::encodePreparedReport(pages);
    const std::vector<report::Page> read = report::decodePreparedReport(bytes);
    ASSERT_EQ(read.size(), pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(read[i].number, pages[i].number);
        EXPECT_EQ(read[i].items.size(), pages[i].items.size());
        EXPECT_TRUE(painted(read[i]) == painted(pages[i])) << "page " << i + 1;
    }
    EXPECT_EQ(report::encodePreparedReport(read), bytes);
}

report::Page smallPage()
{
    report::Page page;
    page.number = 1;
    page.width = mm(50);
    page.height = mm(30);
    QImage dot(3, 2, QImage::Format_RGB32);
    dot.fill(Qt::red);
    page.items.push_back(report::FillItem {{mm(1), mm(1), mm(10), mm(5)}, Qt::yellow});
    page.items.push_back(report::ImageItem {{mm(2), mm(2), mm(6), mm(4)}, dot});
    page.items.push_back(report::LineItem {mm(0), mm(20), mm(40), mm(20), Qt::blue, mm(0.2)});
    page.items.push_back(report::TextItem {mm(5), mm(10), mm(20), mm(4), QStringLiteral("Ann 安"),
                                           QFont(QStringLiteral("Arial"), 9), Qt::black});
    return page;
}

void putU32(QByteArray& bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

} // namespace

TEST(PreparedReportFile, CardSheetComesBackDrawingTheSamePixels)
{
    PrintDatabase base;
    for (int i = 1; i <= 12; ++i)
        base.add(0, QStringLiteral("Member %1").arg(i), QStringLiteral("張三"),
                 photoBlob(96 + i, 128, QColor::fromHsv(i * 28, 200, 200)));
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.printBack = true;
    QImage back(60, 40, QImage::Format_RGB32);
    back.fill(QColor(220, 235, 250));
    options.background = imaging::Picture::fromImage(back);
    options.custom = true;
    options.lines = true;
    options.captions = true;
    options.font = QFont(QStringLiteral("Times New Roman"), 11, QFont::Bold, true);
    options.fontColor = QColor(120, 0, 40);
    const std::vector<report::Page> pages = base.cards(options);
    ASSERT_GE(pages.size(), 2u);
    expectSameAfterRoundTrip(pages);

    // The background printed on every card is stored once and shared again after reading.
    const auto read = report::decodePreparedReport(report::encodePreparedReport(pages));
    QSet<qint64> pictures;
    std::size_t imageItems = 0;
    for (const report::Page& page : read) {
        for (const auto& image : page.all<report::ImageItem>()) {
            pictures.insert(image.image.cacheKey());
            ++imageItems;
        }
    }
    EXPECT_EQ(pictures.size(), 12 + 1);
    EXPECT_GT(imageItems, std::size_t(pictures.size()));
}

TEST(PreparedReportFile, CheckListComesBackDrawingTheSamePixels)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("Ann"), QStringLiteral("安"), photoBlob(480, 640));
    for (int i = 1; i <= 30; ++i)
        base.add(0, QStringLiteral("Member %1").arg(i));
    cards::TqrMemList memList(base.dsrc.src);
    memList.QRLabel8->enabled = true;
    memList.QRLabel9->enabled = true;
    const std::vector<report::Page> pages = report::ReportLayout(metrics()).pages(memList.report);
    ASSERT_EQ(pages.size(), 2u);
    expectSameAfterRoundTrip(pages);
}

TEST(PreparedReportFile, EveryCutShortFileIsRefusedClearly)
{
    const QByteArray whole = report::encodePreparedReport({smallPage()});
    ASSERT_EQ(report::decodePreparedReport(whole).size(), 1u);
    for (qsizetype size = 0; size < whole.size(); ++size) {
        const QString expected = size < qsizetype(sizeof(file::magic) - 1) ? notAReport : damaged;
        ASSERT_EQ(refusal(whole.left(size)), expected) << size;
    }
    EXPECT_EQ(refusal(whole + '\0'), damaged);

    // The smallest items, pictures, fill a page to its end.
    report::Page pictures = smallPage();
    const report::PageItem picture = pictures.items[1];
    pictures.items.assign(20, picture);
    EXPECT_EQ(refusal(report::encodePreparedReport({pictures})), QStringLiteral("(read)"));
}

TEST(PreparedReportFile, ForeignAndNewerFilesAreRefusedClearly)
{
    EXPECT_EQ(refusal(photoBlob(8, 8)), notAReport);
    EXPECT_EQ(refusal(QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")), notAReport);
    EXPECT_EQ(refusal(QByteArray("melbrinrpt\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00", 20)),
              notAReport);

    QByteArray newer = report::encodePreparedReport({smallPage()});
    qToLittleEndian<quint16>(file::formatVersion + 1, newer.data() + 10);
    EXPECT_EQ(refusal(newer),
              QStringLiteral("The report was saved by a newer version of the program and cannot "
                             "be opened here."));
}

// Counts, lengths and sizes beyond what the bytes can hold or the limits allow are refused
// before anything is allocated for them.
TEST(PreparedReportFile, OversizedAndInconsistentFieldsAreRefused)
{
    // 10 magic, 2 version, then the image count at 12 and the first image's width, height,
    // format and length at 16, 20, 24 and 28.
    const QByteArray withImage = report::encodePreparedReport({smallPage()});
    const qsizetype pngLength = qFromLittleEndian<quint32>(withImage.constData() + 28);
    const qsizetype pagesAt = 32 + pngLength;
    // The page: number, width, height, item count; then the items, the first a fill.
    const qsizetype itemsAt = pagesAt + 4 + 4 + 8 + 8;
    const qsizetype imageIndexAt = itemsAt + 4 + (1 + 32 + 9) + 1 + 32;
    const qsizetype textLengthAt = imageIndexAt + 4 + (1 + 32 + 9 + 8) + 1 + 32;

    const struct
    {
        const char* what;
        qsizetype at;
        quint32 value;
    } cases[] = {
        {"image count", 12, 0xffffffffu},
        {"image count beyond the bytes", 12, 1000},
        {"image width beyond the limit", 16, 100'000},
        {"image pixels beyond the limit", 20, 0x7fffffffu},
        {"image size unlike the picture's", 16, 4},
        {"image of no pixels", 20, 0},
        {"image format", 24, 0xffffu},
        {"image length", 28, 0xffffffffu},
        {"page count", pagesAt, 0xffffffffu},
        {"page count beyond the bytes", pagesAt, 2},
        {"page number", pagesAt + 4, 0},
        {"page width", pagesAt + 8, 0},
        {"item count", itemsAt, 0xffffffffu},
        {"item count beyond the bytes", itemsAt, 5},
        {"item kind", itemsAt + 4, 0x77},
        {"image index", imageIndexAt, 1},
        {"text length", textLengthAt, 0xffffffffu},
        {"text length beyond the bytes", textLengthAt, 60'000},
    };
    for (const auto& c : cases) {
        QByteArray bytes = withImage;
        if (std::string_view(c.what) == "item kind")
            bytes[c.at] = char(c.value);
        else
            putU32(bytes, c.at, c.value);
        EXPECT_EQ(refusal(bytes), damaged) << c.what;
    }
}

// A cut text comes back with its clip and paints no more of itself; pages without one are
// still written as the first version of the file, which has no cut texts.
TEST(PreparedReportFile, CutTextsComeBackCutAndNeedTheSecondVersion)
{
    const auto versionOf = [](const QByteArray& bytes) {
        return qFromLittleEndian<quint16>(bytes.constData() + 10);
    };
    const QByteArray plain = report::encodePreparedReport({smallPage()});
    EXPECT_EQ(versionOf(plain), 1);

    report::Page page = smallPage();
    auto& text = std::get<report::TextItem>(page.items.back());
    text.clip = report::LengthRect {mm(4), mm(9), mm(6), mm(5)};
    expectSameAfterRoundTrip({page});
    EXPECT_FALSE(painted(page) == painted(smallPage()));
    const QByteArray cut = report::encodePreparedReport({page});
    EXPECT_EQ(versionOf(cut), 2);
    const auto read = report::decodePreparedReport(cut);
    EXPECT_EQ(std::get<report::TextItem>(read.at(0).items.back()).clip, text.clip);

    QByteArray claimsFirst = cut;
    qToLittleEndian<quint16>(1, claimsFirst.data() + 10);
    EXPECT_EQ(refusal(claimsFirst), damaged);
    for (qsizetype size = plain.size(); size < cut.size(); ++size)
        ASSERT_EQ(refusal(cut.left(size)), damaged) << size;
}

// Cards with codes keep their codes as shapes; the file says version 2 only when it holds
// shapes, so that files without them still open where only version 1 is known.
TEST(PreparedReportFile, CardsWithCodesComeBackAsShapes)
{
    PrintDatabase base;
    for (int i = 1; i <= 3; ++i)
        base.add(0, QStringLiteral("Member %1").arg(i), {}, photoBlob(12, 16));
    for (const auto kind : {cards::CodeElement::Kind::Qr, cards::CodeElement::Kind::Code128}) {
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.code.kind = kind;
        const std::vector<report::Page> pages = base.cards(options);
        ASSERT_EQ(pages.at(0).all<report::ShapeItem>().size(), 3u);
        expectSameAfterRoundTrip(pages);
        const QByteArray bytes = report::encodePreparedReport(pages);
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 10), 2);
    }
    const QByteArray plain
        = report::encodePreparedReport(base.cards(PrintDatabase::starterOptions()));
    EXPECT_EQ(qFromLittleEndian<quint16>(plain.constData() + 10), 1);
}

TEST(PreparedReportFile, DamagedShapesAreRefused)
{
    // One page of one shape: a circle, a move and four curves of three elements each.
    report::Page page;
    page.width = mm(50);
    page.height = mm(30);
    QPainterPath circle;
    circle.addEllipse(QPointF(10000, 10000), 5000, 5000);
    ASSERT_EQ(circle.elementCount(), 13);
    page.items.push_back(report::ShapeItem {circle, Qt::black});
    const QByteArray whole = report::encodePreparedReport({page});
    ASSERT_EQ(report::decodePreparedReport(whole).at(0).all<report::ShapeItem>().size(), 1u);
    // 10 magic, 2 version, 4 no pictures, 4 one page, 24 the page, 4 one item; then the kind,
    // the fill rule, the element count and the elements of 17 bytes, a type and a point.
    const qsizetype kindAt = 10 + 2 + 4 + 4 + 20 + 4;
    const qsizetype ruleAt = kindAt + 1;
    const qsizetype countAt = ruleAt + 1;
    const auto elementAt = [&](int i) { return countAt + 4 + 17 * i; };

    const struct
    {
        const char* what;
        qsizetype at;
        qint64 value;
        int size;
    } cases[] = {
        {"shapes in a version 1 file", 10, 1, 2},
        {"fill rule", ruleAt, 2, 1},
        {"no elements", countAt, 0, 4},
        {"elements beyond the bytes", countAt, 14, 4},
        {"element count beyond the limit", countAt, 0xffffffffu, 4},
        {"a line first", elementAt(0), QPainterPath::LineToElement, 1},
        {"a curve without its data", elementAt(2), QPainterPath::LineToElement, 1},
        {"curve data alone", elementAt(1), QPainterPath::CurveToDataElement, 1},
        {"element type", elementAt(1), 9, 1},
        {"a point beyond ten metres", elementAt(1) + 1, std::bit_cast<qint64>(1e7 + 1), 8},
        {"a point not a number", elementAt(1) + 9, std::bit_cast<qint64>(std::nan("")), 8},
        {"an infinite point", elementAt(1) + 9, std::bit_cast<qint64>(-HUGE_VAL), 8},
    };
    for (const auto& c : cases) {
        QByteArray bytes = whole;
        if (c.size == 1)
            bytes[c.at] = char(c.value);
        else if (c.size == 2)
            qToLittleEndian<quint16>(quint16(c.value), bytes.data() + c.at);
        else if (c.size == 4)
            putU32(bytes, c.at, quint32(c.value));
        else
            qToLittleEndian<qint64>(c.value, bytes.data() + c.at);
        EXPECT_EQ(refusal(bytes), damaged) << c.what;
    }

    // Shapes of no path draw nothing and are left out.
    page.items.push_back(report::ShapeItem {QPainterPath(), Qt::black});
    EXPECT_EQ(report::encodePreparedReport({page}), whole);
}

TEST(PreparedReportFile, SavedFileIsReadBackAndNeverReplacesTheDatabase)
{
    PrintDatabase base;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cards.mrp"));
    report::savePreparedReport(path, {smallPage()});
    const auto read = report::loadPreparedReport(path);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_TRUE(painted(read[0]) == painted(smallPage()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"cards.mrp"});

    QFile database(base.db.path());
    ASSERT_TRUE(database.open(QIODevice::ReadOnly));
    const QByteArray before = database.readAll();
    database.close();
    try {
        report::savePreparedReport(base.db.path(), {smallPage()});
        FAIL() << "the open database was written over";
    } catch (const data::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("database"))) << e.what();
    }
    ASSERT_TRUE(database.open(QIODevice::ReadOnly));
    EXPECT_EQ(database.readAll(), before);

    try {
        report::loadPreparedReport(dir.filePath(QStringLiteral("missing.mrp")));
        FAIL() << "a missing file was read";
    } catch (const data::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("missing.mrp"))) << e.what();
    }
}

// Loaded pages print as laid out: on the paper of the report, and on a printer given a page
// range only the pages within it.
TEST(PreparedReportFile, LoadedPagesPrintTheChosenRange)
{
    std::vector<report::Page> pages(3, smallPage());
    for (int i = 0; i < 3; ++i)
        pages[std::size_t(i)].number = i + 1;
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("range.pdf")));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    EXPECT_EQ(report::printPages(pages, printer), 2);
    const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
    EXPECT_NEAR(paper.width(), 50, 0.1);
    EXPECT_NEAR(paper.height(), 30, 0.1);

    printer.setPrintRange(QPrinter::AllPages);
    EXPECT_EQ(report::printPages(pages, printer), 3);
}
