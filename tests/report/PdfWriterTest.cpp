// The cairo PDF writer: its pages look as the painter draws them, its text reads back, stored
// JPEG bytes go in as they are and a shared picture once, and a failure leaves the old file.
#include "report/PdfWriter.h"

#include "PdfPictures.h"
#include "data/Error.h"
#include "report/DeviceOffset.h"
#include "report/PageCapture.h"
#include "report/PagePainter.h"
#include "report/TextMetrics.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <set>

using report::Length;
using report::LengthRect;
using report::mm;

namespace {

constexpr double dpi = 254; // ten pixels to the millimetre

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString fixture(const char* path)
{
    return QStringLiteral(MELBRIN_SOURCE_DIR "/tests/") + QString::fromLatin1(path);
}

// A stored photo: its JPEG bytes, and the pixels they decode to.
class JpegSource : public report::ImageSource
{
public:
    explicit JpegSource(const QByteArray& bytes)
        : m_bytes(bytes)
        , m_image(QImage::fromData(bytes))
    { }

    QSize size() const override { return m_image.size(); }
    QImage image(QSize) const override { return m_image; }
    QByteArray jpeg() const override { return m_bytes; }

private:
    QByteArray m_bytes;
    QImage m_image;
};

// A picture with colours and edges everywhere.
QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 255 / width, y * 255 / height, (x ^ y) & 0xff, 255));
    }
    return image;
}

report::TextItem text(const report::TextMetrics& metrics, Length left, Length top,
                      const QString& line, const QFont& font, QColor colour = Qt::black)
{
    return report::TextItem {left, top,   metrics.width(font, line), metrics.lineHeight(font), line,
                             font, colour};
}

// One page with every kind of item.
report::Page everyItem(const report::TextMetrics& metrics)
{
    report::Page page;
    page.width = mm(85.6);
    page.height = mm(54);
    auto& items = page.items;
    items.push_back(report::FillItem {{mm(0), mm(0), mm(85.6), mm(54)}, QColor(255, 250, 220)});
    items.push_back(report::ImageItem {{mm(2), mm(2), mm(30), mm(12)}, pattern(90, 36)});
    // The painter draws the decoded pixels, the PDF the JPEG bytes.
    const auto photo
        = std::make_shared<JpegSource>(fileBytes(fixture("imaging/fixtures/photo-64x48.jpg")));
    items.push_back(report::ImageItem {{mm(3.5), mm(16), mm(18), mm(24)}, photo->image({}), photo});
    items.push_back(report::FrameItem {{mm(3), mm(15.5), mm(19), mm(25)},
                                       report::Frame::all(Qt::darkBlue, mm(0.4))});
    items.push_back(report::FrameItem {{mm(60), mm(40), mm(20), mm(10)},
                                       {true, false, false, true, Qt::red, Length()}});
    items.push_back(report::LineItem {mm(24), mm(20), mm(80), mm(20), Qt::darkGreen, mm(0.3)});
    items.push_back(report::LineItem {mm(24), mm(50), mm(55), mm(38), Qt::black, mm(0.2)});
    items.push_back(report::LineItem {mm(24), mm(52), mm(55), mm(52), Qt::black, Length()});
    QPainterPath ring; // a hole by the even-odd rule
    ring.addEllipse(QRectF(62000, 4000, 16000, 12000));
    ring.addEllipse(QRectF(66000, 7000, 8000, 6000));
    ring.setFillRule(Qt::OddEvenFill);
    items.push_back(report::ShapeItem {ring, Qt::darkMagenta});
    QPainterPath star; // no hole by the winding rule
    star.moveTo(70000, 22000);
    star.lineTo(75000, 36000);
    star.lineTo(63000, 27000);
    star.lineTo(77000, 27000);
    star.lineTo(65000, 36000);
    star.closeSubpath();
    star.setFillRule(Qt::WindingFill);
    items.push_back(report::ShapeItem {star, QColor(0, 120, 200)});

    QFont bold(QStringLiteral("Arial"), 12);
    bold.setBold(true);
    items.push_back(text(metrics, mm(24), mm(22), QStringLiteral("Ann Lee-Wang"), bold));
    items.push_back(text(metrics, mm(24), mm(28), QStringLiteral("Höhe 王小明 No. 17"),
                         QFont(QStringLiteral("Arial"), 8), Qt::darkRed));
    QFont italic(QStringLiteral("Times New Roman"), 9);
    italic.setItalic(true);
    items.push_back(text(metrics, mm(24), mm(33), QStringLiteral("Office fiscal"), italic));
    QFont lined(QStringLiteral("Arial"), 7);
    lined.setUnderline(true);
    lined.setStrikeOut(true);
    items.push_back(text(metrics, mm(24), mm(40), QStringLiteral("Valid until"), lined));
    report::TextItem clipped = text(metrics, mm(2), mm(44), QStringLiteral("CLIPPED"),
                                    QFont(QStringLiteral("Arial"), 14));
    clipped.clip = LengthRect {mm(2), mm(44), mm(12), mm(4)};
    items.push_back(clipped);
    items.push_back(text(metrics, mm(2), mm(50), QStringLiteral("tiny print"),
                         QFont(QStringLiteral("Courier New"), 4)));
    return page;
}

QImage painted(const report::Page& page)
{
    QImage image(qRound(page.width.toDevice(dpi)), qRound(page.height.toDevice(dpi)),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    report::PagePainter::paint(page, painter);
    return image;
}

std::function<void(QPagedPaintDevice*)> drawing(const std::vector<report::Page>& pages)
{
    return [&pages](QPagedPaintDevice* device) { report::printPages(pages, *device); };
}

// The pdfimages -list rows: page and object number of each picture drawn, and its encoding.
struct Shown
{
    int page;
    int object;
    QString encoding;
};

std::vector<Shown> picturesShown(const QString& pdf)
{
    const QString list = QString::fromUtf8(
        pdfpictures::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}));
    static const QRegularExpression row(
        QStringLiteral(
            "^\\s*(\\d+)\\s+\\d+\\s+\\w+\\s+\\d+\\s+\\d+\\s+\\w+\\s+\\d+\\s+\\d+\\s+(\\w+)"
            "\\s+\\w+\\s+(\\d+)"),
        QRegularExpression::MultilineOption);
    std::vector<Shown> result;
    for (auto it = row.globalMatch(list); it.hasNext();) {
        const auto m = it.next();
        result.push_back({m.captured(1).toInt(), m.captured(3).toInt(), m.captured(2)});
    }
    return result;
}

class PdfWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!pdfpictures::haveTools())
            GTEST_SKIP() << "poppler's tools are not installed";
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    report::TextMetrics metrics;
};

TEST_F(PdfWriterTest, PagesLookAsThePainterDrawsThemAndTheirTextReadsBack)
{
    const std::vector<report::Page> pages {everyItem(metrics)};
    const QString pdf = path("every.pdf");
    report::writePdf(pdf, drawing(pages));

    const QImage expected = painted(pages[0]);
    const QImage written = pdfpictures::pageImage(pdf, 1, dpi);
    if (qEnvironmentVariableIsSet("MELBRIN_KEEP_PICTURES")) {
        expected.save(qEnvironmentVariable("MELBRIN_KEEP_PICTURES") + "/every-painter.png");
        written.save(qEnvironmentVariable("MELBRIN_KEEP_PICTURES") + "/every-pdf.png");
        QFile::copy(pdf, qEnvironmentVariable("MELBRIN_KEEP_PICTURES") + "/every.pdf");
    }
    EXPECT_LT(pdfpictures::visibleDifference(expected, written),
              expected.width() * expected.height() / 1000);

    EXPECT_EQ(pdfpictures::text(pdf),
              QStringLiteral("Ann Lee-Wang Höhe 王小明 No. 17 Office fiscal Valid until CLIPPED "
                             "tiny print"));
}

// Photos stored as JPEG (baseline, progressive, grey) come out as the same bytes; a picture
// every page shows (the same image, or the same source) is stored once; pixels without JPEG
// bytes, and CMYK JPEG (whose inks may or may not be inverted), are stored without loss.
TEST_F(PdfWriterTest, StoresJpegBytesAsTheyAreAndASharedPictureOnce)
{
    const QImage background = pattern(40, 30);
    const auto logo
        = std::make_shared<JpegSource>(fileBytes(fixture("fuzz/corpus/jpegblob/grey.jpg")));
    const auto cmyk
        = std::make_shared<JpegSource>(fileBytes(fixture("imaging/fixtures/cmyk-red-blue.jpg")));
    const char* photos[]
        = {"imaging/fixtures/photo-64x48.jpg", "fuzz/corpus/jpegblob/progressive.jpg",
           "exchange/fixtures/photos/bands-tall.jpg"};
    std::vector<report::Page> pages;
    std::vector<QByteArray> stored;
    for (const char* photo : photos) {
        report::Page page;
        page.number = int(pages.size()) + 1;
        page.width = mm(54);
        page.height = mm(85.6);
        page.items.push_back(report::ImageItem {{mm(0), mm(0), mm(54), mm(85.6)}, background});
        page.items.push_back(report::ImageItem {{mm(40), mm(2), mm(10), mm(10)}, {}, logo});
        stored.push_back(fileBytes(fixture(photo)));
        ASSERT_FALSE(stored.back().isEmpty()) << photo;
        page.items.push_back(report::ImageItem {
            {mm(5), mm(20), mm(30), mm(40)}, {}, std::make_shared<JpegSource>(stored.back())});
        pages.push_back(page);
    }
    pages[0].items.push_back(report::ImageItem {{mm(40), mm(70), mm(10), mm(10)}, {}, cmyk});
    const QString pdf = path("photos.pdf");
    report::writePdf(pdf, drawing(pages));

    const std::vector<Shown> shown = picturesShown(pdf);
    ASSERT_EQ(shown.size(), 10u);
    std::map<int, QString> objects;
    for (const Shown& s : shown)
        objects[s.object] = s.encoding;
    const auto stores = [&](const char* encoding) {
        return std::count_if(objects.begin(), objects.end(),
                             [&](const auto& o) { return o.second == QLatin1String(encoding); });
    };
    EXPECT_EQ(stores("jpeg"), 4); // the logo and three photos
    EXPECT_EQ(stores("image"), 2); // the background and the CMYK photo
    EXPECT_EQ(objects[shown[0].object], QStringLiteral("image"));

    const QString stem = path("out");
    pdfpictures::run(QStringLiteral("pdfimages"), {QStringLiteral("-all"), pdf, stem});
    const QStringList jpegs = QDir(dir.path()).entryList({QStringLiteral("out-*.jpg")});
    std::set<QByteArray> written; // pdfimages writes a picture for every place it is shown
    for (const QString& name : jpegs)
        written.insert(fileBytes(dir.filePath(name)));
    stored.push_back(logo->jpeg());
    EXPECT_TRUE(written == std::set<QByteArray>(stored.begin(), stored.end()))
        << jpegs.join(u' ').toStdString();
}

// Each page gets its own size (in whole points, as the paper sizes printers take); a page
// range draws only its pages; an offset moves everything on the page.
TEST_F(PdfWriterTest, PagesTakeTheirOwnSizeTheRangeAndTheOffset)
{
    std::vector<report::Page> pages(3);
    const Length sizes[3][2] = {{mm(85.6), mm(54)}, {mm(54), mm(85.6)}, {mm(210), mm(297)}};
    for (int i = 0; i < 3; ++i) {
        pages[i].number = i + 1;
        pages[i].width = sizes[i][0];
        pages[i].height = sizes[i][1];
        pages[i].items.push_back(report::FillItem {{mm(10), mm(10), mm(5), mm(5)}, Qt::black});
    }
    const QString pdf = path("sizes.pdf");
    report::writePdf(
        pdf,
        [&](QPagedPaintDevice* device) {
            const report::DeviceOffset shift(device, mm(2), mm(-1.5));
            report::printPages(pages, *device);
        },
        std::pair(2, 3));
    const QString info
        = QString::fromUtf8(pdfpictures::run(QStringLiteral("pdfinfo"),
                                             {QStringLiteral("-f"), QStringLiteral("1"),
                                              QStringLiteral("-l"), QStringLiteral("9"), pdf}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page\\s+1 size:\\s+153 x 243 "))));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page\\s+2 size:\\s+595 x 842 "))));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Creator:\\s+Melbrin\\n"))));

    const QImage page = pdfpictures::pageImage(pdf, 1, dpi);
    QRect black;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128)
                black |= QRect(x, y, 1, 1);
        }
    }
    EXPECT_EQ(black, QRect(120, 85, 50, 50));
}

// The device fails, the render fails, or something is painted that is no laid-out page: the
// earlier file stays as it was, nothing else is left beside it, and the reason is told.
TEST_F(PdfWriterTest, FailuresLeaveTheEarlierFileAndSayWhy)
{
    const std::vector<report::Page> pages {everyItem(metrics)};
    const QString pdf = path("cards.pdf");
    const auto earlier = [&] {
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("an earlier PDF");
    };
    const struct
    {
        const char* name;
        std::function<void(QPagedPaintDevice*)> render;
        const char* reason;
    } cases[] = {
        {"render fails",
         [&](QPagedPaintDevice* device) {
             report::printPages(pages, *device);
             throw data::Error(QStringLiteral("the report failed"));
         },
         "the report failed"},
        {"painted directly",
         [](QPagedPaintDevice* device) {
             QPainter painter(device);
             painter.drawText(QPointF(100, 100), QStringLiteral("Page 1"));
         },
         "no laid-out page"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        earlier();
        try {
            report::writePdf(pdf, c.render);
            ADD_FAILURE() << "no error";
        } catch (const data::Error& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.reason))) << e.message().toStdString();
        }
        EXPECT_EQ(fileBytes(pdf), QByteArray("an earlier PDF"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList {"cards.pdf"});
    }

    // A device that takes only so many bytes: the writer gives its reason.
    class Full : public QBuffer
    {
    protected:
        qint64 writeData(const char* data, qint64 length) override
        {
            if (size() + length > 2000) {
                setErrorString(QStringLiteral("No space left on device"));
                return -1;
            }
            return QBuffer::writeData(data, length);
        }
    } full;
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    report::PdfWriter writer(full);
    report::printPages(pages, writer);
    try {
        writer.finish();
        ADD_FAILURE() << "no error";
    } catch (const data::Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("No space left on device"));
    }

    // A folder that cannot be written to.
    try {
        report::writePdf(path("missing/cards.pdf"), drawing(pages));
        ADD_FAILURE() << "no error";
    } catch (const data::Error& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot write the file ")))
            << e.message().toStdString();
    }
}

} // namespace
