// Card printer pages and print offsets, measured in the PDF files the program writes: page
// sizes by pdfinfo, word boxes by pdftotext and pixels by pdftoppm.

#include "PrintFixture.h"
#include "cards/CardPreview.h"
#include "cards/print/CardReport.h"
#include "cards/print/PrintOffsets.h"
#include "cards/print/ReportRender.h"
#include "cards/print/TqrMemList.h"
#include "data/Error.h"
#include "report/PdfWriter.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace printfixture;

namespace {

constexpr double pointsPerMm = 72.0 / 25.4;
// pdftoppm's resolution: ten pixels to the millimetre.
constexpr int dpi = 254;

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct PdfFacts
{
    int pages = 0;
    QString size; // as pdfinfo gives it: "243 x 153"
};

PdfFacts pdfFacts(const QString& pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    PdfFacts facts;
    facts.pages
        = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    facts.size = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+)"))
                     .match(info)
                     .captured(1);
    return facts;
}

struct Word
{
    QString text;
    double xMin, yMin, xMax, yMax; // points from the page's top left corner
};

// The words of the first page.
std::vector<Word> words(const QString& pdf)
{
    const QString html = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                              QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.-]+)\" yMin=\"([0-9.-]+)\" xMax=\"([0-9.-]+)\" "
                       "yMax=\"([0-9.-]+)\">([^<]*)</word>"));
    std::vector<Word> result;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        result.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                          m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return result;
}

QImage firstPageImage(const QString& pdf)
{
    const QString stem = pdf + QStringLiteral(".page");
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QStringLiteral("1"),
         QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"),
         QStringLiteral("-png"), pdf, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// The bounding box, in pixels, of the pixels near the colour.
QRect areaOf(const QImage& image, QColor colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            if (std::abs(qRed(p) - colour.red()) < 40 && std::abs(qGreen(p) - colour.green()) < 40
                && std::abs(qBlue(p) - colour.blue()) < 40)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

class OutputDatabase : public PrintDatabase
{
public:
    OutputDatabase()
    {
        add(0, QStringLiteral("Ann Lee"), {}, photoBlob(120, 160));
        add(0, QStringLiteral("Bob Ng"), {}, photoBlob(120, 160));
    }

    QString cardsPdf(const cards::CardOptions& options, const cards::PrintOffset& offset = {},
                     const QString& name = QStringLiteral("cards.pdf"))
    {
        dsrc.QList.setSql(QStringList {QStringLiteral("select * from stafftbl"),
                                       QStringLiteral("left join grptbl"),
                                       QStringLiteral("on stafftbl.gid=grptbl.gid")});
        dsrc.QList.open();
        const auto card = cards::makeCardReport(options, fields, dsrc.QList);
        const QString path = db.dir() + u'/' + name;
        report::writePdf(path,
                         cards::shiftedRender(
                             [&](QPagedPaintDevice* device) {
                                 cards::printReport(card->report, *device, metrics());
                             },
                             offset));
        dsrc.QList.close();
        return path;
    }

    QString checkListPdf(const cards::PrintOffset& offset, const QString& name)
    {
        cards::TqrMemList memList(dsrc.src);
        const QString path = db.dir() + u'/' + name;
        report::writePdf(path,
                         cards::shiftedRender(
                             [&](QPagedPaintDevice* device) {
                                 cards::printReport(memList.report, *device, metrics());
                             },
                             offset));
        return path;
    }
};

struct CardCase
{
    int style;
    // The PDF writer gives page sizes in whole points: 85.60 x 53.98 mm is 243 x 153.
    QString pageSize;
    // Where the photo box of the first card lies on its page: left, top, right, bottom in mm,
    // for the design's card (its background, 85.5 by 54 mm) scaled by max(card width / its
    // width, card height / its height) and centred on the card.
    double photo[4];
    // Where "SAMPLE" is centred across, in points: the middle of the cell, as on a sheet.
    double sampleCentre;
};

void PrintTo(const CardCase& c, std::ostream* os)
{
    *os << "style " << c.style + 1;
}

class CardPrinterPages : public ::testing::TestWithParam<CardCase>
{
};

TEST_P(CardPrinterPages, OneCardPerPageOfTheCardSizeCellCoveringItCentred)
{
    const CardCase& c = GetParam();
    OutputDatabase base;
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.style = c.style;
    options.output = cards::CardOutput::CardPrinter;
    const QString pdf = base.cardsPdf(options);

    const PdfFacts facts = pdfFacts(pdf);
    EXPECT_EQ(facts.pages, 2);
    EXPECT_EQ(facts.size, c.pageSize);

    const QRect photo = areaOf(firstPageImage(pdf), Qt::darkCyan);
    const double px = dpi / 25.4;
    EXPECT_NEAR(photo.left(), c.photo[0] * px, 1.5);
    EXPECT_NEAR(photo.top(), c.photo[1] * px, 1.5);
    EXPECT_NEAR(photo.right() + 1, c.photo[2] * px, 1.5);
    EXPECT_NEAR(photo.bottom() + 1, c.photo[3] * px, 1.5);

    // "SAMPLE" is centred across the cell, as on the sheet, a little right of the card's middle.
    const auto all = words(pdf);
    const auto sample
        = std::find_if(all.begin(), all.end(), [](const Word& w) { return w.text == u"SAMPLE"; });
    ASSERT_NE(sample, all.end());
    EXPECT_NEAR((sample->xMin + sample->xMax) / 2, c.sampleCentre, 1.0);
    const auto name
        = std::find_if(all.begin(), all.end(), [](const Word& w) { return w.text == u"Ann"; });
    EXPECT_NE(name, all.end());
}

INSTANTIATE_TEST_SUITE_P(
    Styles, CardPrinterPages,
    ::testing::Values(
        CardCase {0, QStringLiteral("243 x 153"), {3.534, 21.163, 24.579, 49.126}, 127.65},
        CardCase {1, QStringLiteral("243 x 153"), {61.812, 19.982, 82.857, 47.944}, 127.65},
        CardCase {2, QStringLiteral("153 x 243"), {16.488, 15.308, 37.512, 43.271}, 80.25}));

TEST(CardSheets, StayOnA4WithTheCardsSideBySide)
{
    OutputDatabase base;
    cards::CardOptions options = PrintDatabase::starterOptions();
    const QString pdf = base.cardsPdf(options);
    const PdfFacts facts = pdfFacts(pdf);
    EXPECT_EQ(facts.pages, 1);
    EXPECT_EQ(facts.size, QStringLiteral("595 x 842"));
    // The first card's photo at its design place, 10 mm in from the sheet's corner.
    const QRect photo = areaOf(firstPageImage(pdf), Qt::darkCyan);
    EXPECT_NEAR(photo.left(), (10 + 3.53) * 10, 1.5);
    EXPECT_NEAR(photo.top(), (10 + 21.17) * 10, 1.5);
}

// An offset of +2.0 mm right and -1.5 mm down moves every word and every pixel of the page
// by exactly that: card pages, card sheets and the check list alike.
TEST(PrintOffsets, MoveEverythingOnThePageByTheOffset)
{
    OutputDatabase base;
    cards::CardOptions card = PrintDatabase::starterOptions();
    card.output = cards::CardOutput::CardPrinter;
    card.style = 2;
    const cards::CardOptions sheet = PrintDatabase::starterOptions();
    const cards::PrintOffset offset {20, -15};
    const std::pair<QString, QString> outputs[] = {
        {base.cardsPdf(card, {}, QStringLiteral("card.pdf")),
         base.cardsPdf(card, offset, QStringLiteral("card-moved.pdf"))},
        {base.cardsPdf(sheet, {}, QStringLiteral("sheet.pdf")),
         base.cardsPdf(sheet, offset, QStringLiteral("sheet-moved.pdf"))},
        {base.checkListPdf({}, QStringLiteral("list.pdf")),
         base.checkListPdf(offset, QStringLiteral("list-moved.pdf"))},
    };
    for (const auto& [plain, moved] : outputs) {
        SCOPED_TRACE(plain.toStdString());
        // Words cut by the paper's edge read differently once moved: each word found once
        // on both pages is compared.
        const auto unique = [](const std::vector<Word>& all) {
            std::map<QString, Word> result;
            std::map<QString, int> count;
            for (const Word& w : all) {
                result[w.text] = w;
                ++count[w.text];
            }
            std::erase_if(result, [&](const auto& entry) { return count[entry.first] > 1; });
            return result;
        };
        const auto before = unique(words(plain));
        const auto after = unique(words(moved));
        int compared = 0;
        for (const auto& [text, was] : before) {
            const auto now = after.find(text);
            if (now == after.end())
                continue;
            ++compared;
            EXPECT_NEAR(now->second.xMin - was.xMin, 2.0 * pointsPerMm, 0.02) << text.toStdString();
            EXPECT_NEAR(now->second.yMin - was.yMin, -1.5 * pointsPerMm, 0.02)
                << text.toStdString();
        }
        EXPECT_GE(compared, 3);
        EXPECT_GE(compared + 2, int(before.size()));

        // Pixel by pixel: 20 pixels right, 15 up, wherever both pages show the place.
        const QImage a = firstPageImage(plain);
        const QImage b = firstPageImage(moved);
        ASSERT_EQ(a.size(), b.size());
        int pixels = 0;
        int differing = 0;
        int inked = 0;
        for (int y = 15; y < a.height(); ++y) {
            for (int x = 0; x + 20 < a.width(); ++x) {
                const QRgb p = a.pixel(x, y);
                const QRgb q = b.pixel(x + 20, y - 15);
                ++pixels;
                inked += qGray(p) < 128;
                if (std::abs(qGray(p) - qGray(q)) > 24)
                    ++differing;
            }
        }
        EXPECT_GT(inked, 500);
        EXPECT_LT(differing, pixels / 2000) << differing << " of " << pixels;
    }
}

TEST(PrintOffsets, AreKeptPerPrinterAndRefusedBeyondTenMillimetres)
{
    cards::writePrintOffset(QString(), {20, -15});
    cards::writePrintOffset(QStringLiteral("Card/Printer 1"), {-100, 100});
    EXPECT_EQ(cards::readPrintOffset(QString()), (cards::PrintOffset {20, -15}));
    EXPECT_EQ(cards::readPrintOffset(QStringLiteral("Card/Printer 1")),
              (cards::PrintOffset {-100, 100}));
    EXPECT_EQ(cards::readPrintOffset(QStringLiteral("Other")), cards::PrintOffset());

    for (const cards::PrintOffset wrong :
         {cards::PrintOffset {101, 0}, cards::PrintOffset {0, -101}}) {
        try {
            cards::writePrintOffset(QString(), wrong);
            ADD_FAILURE() << "an offset beyond 10 mm was stored";
        } catch (const data::Error& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("-10.0 to +10.0 mm")))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(cards::readPrintOffset(QString()), (cards::PrintOffset {20, -15}));
}

} // namespace
