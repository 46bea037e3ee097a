// Members' photos in a card PDF, read back with poppler's pdfimages.
#include "PdfPictures.h"
#include "PrintFixture.h"
#include "report/PageCapture.h"
#include "report/PdfWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace printfixture;

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(JPEG_FIXTURES "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

struct Embedded
{
    QString encoding; // "jpeg" for bytes stored as they are, "image" for pixels
    QSize size;
    QByteArray bytes; // of a stored JPEG
};

// The pictures of the PDF in the order they are stored, as pdfimages lists and writes them.
std::vector<Embedded> embedded(const QString& pdf, const QString& folder)
{
    std::vector<Embedded> found;
    const QString prefix = QDir(folder).filePath(QStringLiteral("picture"));
    pdfpictures::run(QStringLiteral("pdfimages"), {QStringLiteral("-all"), pdf, prefix});
    const QStringList lines = QString::fromLatin1(pdfpictures::run(QStringLiteral("pdfimages"),
                                                                   {QStringLiteral("-list"), pdf}))
                                  .split(u'\n', Qt::SkipEmptyParts)
                                  .mid(2);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList f = lines[i].simplified().split(u' ');
        if (f.size() < 10 || f[2] != u"image")
            continue;
        Embedded e {f[8], QSize(f[3].toInt(), f[4].toInt()), {}};
        QFile file(prefix + QStringLiteral("-%1.jpg").arg(i, 3, 10, QChar(u'0')));
        if (file.open(QIODevice::ReadOnly))
            e.bytes = file.readAll();
        found.push_back(e);
    }
    return found;
}

// A stored JPEG that needs no more than 600 dpi goes into the PDF byte for byte; a larger one
// goes in reduced to 600 dpi of its box (497 by 660 dots); a CMYK file and bytes that are not
// a JPEG go in as pixels: the decoded colours, and the blank white picture.
TEST(PhotoPdf, StoredJpegsGoInAsTheyAreAndLargerOnesReduced)
{
    if (!pdfpictures::haveTools())
        GTEST_SKIP() << "poppler's tools are not installed";
    const QByteArray photo = photoBlob(480, 640, QColor(200, 120, 40));
    const QByteArray progressive = fixture("kind-progressive.jpg");
    PrintDatabase base;
    base.add(0, QStringLiteral("A"), {}, photo);
    base.add(0, QStringLiteral("B"), {}, progressive);
    base.add(0, QStringLiteral("C"), {}, photoBlob(2000, 2400));
    base.add(0, QStringLiteral("D"), {}, fixture("cmyk-red-blue.jpg"));
    base.add(0, QStringLiteral("E"), {}, QByteArray("BM not a picture"));
    const std::vector<report::Page> pages = base.cards(PrintDatabase::starterOptions());

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    report::writePdf(pdf, [&](QPagedPaintDevice* device) { report::printPages(pages, *device); });
    const std::vector<Embedded> pictures = embedded(pdf, dir.path());
    ASSERT_EQ(pictures.size(), 5u);
    const QString jpeg = QStringLiteral("jpeg");
    const QString pixels = QStringLiteral("image");
    EXPECT_EQ(pictures[0].encoding, jpeg);
    EXPECT_TRUE(pictures[0].bytes == photo);
    EXPECT_EQ(pictures[1].encoding, jpeg);
    EXPECT_TRUE(pictures[1].bytes == progressive);
    EXPECT_EQ(pictures[2].encoding, jpeg);
    EXPECT_EQ(pictures[2].size, QSize(497, 660));
    EXPECT_EQ(pictures[3].encoding, pixels);
    EXPECT_EQ(pictures[3].size, QSize(32, 16));
    EXPECT_EQ(pictures[4].encoding, pixels);
    EXPECT_EQ(pictures[4].size, QSize(120, 160));

    // Each photo shows in the PDF in the colours the preview gives it, a quarter and three
    // quarters across (the inks' red and blue halves) and half way down; the two renderers
    // smooth the watermark's edges over it differently, but inverted inks or a missing photo
    // are hundreds apart.
    const double dpi = 100;
    const QImage page = pdfpictures::pageImage(pdf, 1, dpi);
    const QImage preview = paintedPage(pages[0], dpi);
    for (const report::ImageItem& item : pages[0].all<report::ImageItem>()) {
        for (const double across : {0.25, 0.75}) {
            const QPoint at(
                qRound(item.rect.left.toDevice(dpi) + item.rect.width.toDevice(dpi) * across),
                qRound(item.rect.top.toDevice(dpi) + item.rect.height.toDevice(dpi) / 2));
            const QColor want = preview.pixelColor(at);
            const QColor got = page.pixelColor(at);
            EXPECT_LE(std::abs(want.red() - got.red()) + std::abs(want.green() - got.green())
                          + std::abs(want.blue() - got.blue()),
                      60)
                << qPrintable(want.name()) << " " << qPrintable(got.name());
        }
    }
}

} // namespace
