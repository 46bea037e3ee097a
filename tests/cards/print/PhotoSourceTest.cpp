#include "cards/print/PhotoSource.h"

#include "PrintFixture.h"
#include "imaging/Jpeg.h"
#include "imaging/JpegInfo.h"

#include <QFile>
#include <gtest/gtest.h>

using cards::PhotoSource;
using printfixture::mm;
using printfixture::photoBlob;

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(JPEG_FIXTURES "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

enum class Jpeg { Stored, Reduced, None };

// The card photo box: 497 by 660 dots at 600 dots per inch.
std::shared_ptr<const PhotoSource> onCard(const QByteArray& bytes)
{
    return PhotoSource::forBox(bytes, mm(21.02), mm(27.93));
}

// What a PDF gets of each kind of stored photo: the stored bytes themselves, a reduced
// encoding, or no JPEG at all (pixels instead); and the pixels a printer gets.
TEST(PhotoSource, GivesThePdfTheStoredBytesWhenTheyShowThePrintedPhoto)
{
    const QByteArray photo = photoBlob(480, 640);
    const QByteArray huge = photoBlob(2000, 2400);
    const QByteArray cmyk = fixture("cmyk-red-blue.jpg");
    const QByteArray notJpeg = QByteArray("BM") + QByteArray(100, 'x');
    const struct
    {
        const char* what;
        std::shared_ptr<const PhotoSource> source;
        QSize pixels; // of image()
        Jpeg jpeg;
    } cases[] = {
        {"photo within 600 dpi", onCard(photo), {480, 640}, Jpeg::Stored},
        {"progressive file", onCard(fixture("kind-progressive.jpg")), {40, 30}, Jpeg::Stored},
        {"grey file", onCard(fixture("kind-grey.jpg")), {40, 30}, Jpeg::Stored},
        {"photo over 600 dpi", onCard(huge), {497, 660}, Jpeg::Reduced},
        {"wider than 600 dpi only", onCard(photoBlob(1000, 600)), {497, 600}, Jpeg::Reduced},
        {"CMYK file", onCard(cmyk), {32, 16}, Jpeg::None},
        {"arithmetic coding", onCard(fixture("kind-arithmetic.jpg")), {40, 30}, Jpeg::None},
        {"not a JPEG", onCard(notJpeg), {120, 160}, Jpeg::None},
        {"check list photo", PhotoSource::resampled(photo, {120, 160}), {120, 160}, Jpeg::Reduced},
        {"check list photo of its size",
         PhotoSource::resampled(photoBlob(120, 160), {120, 160}),
         {120, 160},
         Jpeg::Stored},
    };
    for (const auto& c : cases) {
        const QImage pixels = c.source->image();
        EXPECT_EQ(pixels.size(), c.pixels) << c.what;
        EXPECT_EQ(c.source->size(), c.pixels) << c.what;
        const QByteArray jpeg = c.source->jpeg();
        if (c.jpeg == Jpeg::Reduced) {
            const imaging::JpegInfo info = imaging::inspectJpeg(jpeg);
            EXPECT_TRUE(info.embeddable) << c.what;
            EXPECT_EQ(info.size, c.pixels) << c.what;
            EXPECT_EQ(c.source->jpeg().constData(), jpeg.constData()) << c.what; // encoded once
        } else {
            EXPECT_EQ(jpeg.isEmpty(), c.jpeg == Jpeg::None) << c.what;
        }
    }
    EXPECT_EQ(onCard(photo)->jpeg(), photo);
    // Inks come out as colour; what is not a JPEG is the blank white picture.
    const QColor red = onCard(cmyk)->image().pixelColor(4, 4);
    EXPECT_TRUE(red.red() > 200 && red.green() < 60 && red.blue() < 60) << qPrintable(red.name());
    EXPECT_EQ(onCard(notJpeg)->image().pixelColor(60, 80), QColor(Qt::white));
}

// A screen or printer gets a picture decoded at a reduced scale when it shows the photo
// small, never smaller than it asked for.
TEST(PhotoSource, DecodesNoLargerThanTheDeviceShowsIt)
{
    const auto source = onCard(photoBlob(2000, 2400, Qt::darkRed));
    const QImage small = source->image(QSize(100, 132));
    EXPECT_EQ(small.size(), QSize(250, 300)); // an eighth of the photo: the least that covers
    EXPECT_EQ(source->image(QSize(5000, 5000)).size(), QSize(497, 660));
    EXPECT_EQ(small.pixelColor(50, 60).red(), QColor(Qt::darkRed).red());
}

} // namespace
