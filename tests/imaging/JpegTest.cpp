#include "imaging/Jpeg.h"

#include "Fixtures.h"
#include "data/Error.h"

#include <QBuffer>
#include <QImageReader>
#include <cstdio>
#include <gtest/gtest.h>
// clang-format off
#include <jpeglib.h>
// clang-format on

using imaging::Picture;

namespace {

// A JPEG written by libjpeg with our own choice of scans or components, for inputs the
// program never writes itself.
QByteArray libjpegFile(const Picture& picture, bool grey, const jpeg_scan_info* scans,
                       int scanCount)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(picture.width());
    cinfo.image_height = JDIMENSION(picture.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    if (grey)
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    if (scans) {
        cinfo.scan_info = scans;
        cinfo.num_scans = scanCount;
    }
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < picture.height(); ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.row(y));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

qsizetype markerAt(const QByteArray& bytes, unsigned char marker)
{
    return bytes.indexOf(QByteArray("\xFF") + char(marker));
}

int maxChannelDifference(const Picture& a, const Picture& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x)
            worst = std::max(worst, std::abs(a.row(y)[x] - b.row(y)[x]));
    return worst;
}

double meanDifference(const Picture& a, const Picture& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x)
            sum += std::abs(a.row(y)[x] - b.row(y)[x]);
    return sum / (double(a.width()) * a.height() * 3);
}

} // namespace

TEST(Jpeg, StoresABaselineColourJpegAnyDecoderReads)
{
    const Picture photo = fixtures::photo(97, 61);
    const QByteArray bytes = imaging::encodeJpeg(photo);
    EXPECT_TRUE(bytes.startsWith("\xFF\xD8\xFF\xE0")); // SOI, then the JFIF header
    EXPECT_TRUE(bytes.endsWith("\xFF\xD9"));
    const qsizetype sof = markerAt(bytes, 0xC0);
    ASSERT_GT(sof, 0) << "baseline frame";
    EXPECT_EQ(markerAt(bytes, 0xC2), -1) << "no progressive frame";
    EXPECT_EQ(bytes[sof + 9], 3) << "three components";

    // Qt's own JPEG reader opens it as the same picture.
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "jpeg");
    const QImage other = reader.read();
    ASSERT_FALSE(other.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(other.size(), QSize(97, 61));
    const Picture decoded = imaging::decodeJpeg(bytes);
    EXPECT_LE(maxChannelDifference(decoded, Picture::fromImage(other)), 2);
    // Quality 90 stays close to what was stored.
    EXPECT_LE(meanDifference(decoded, photo), 4.0);
}

TEST(Jpeg, QualityNinetyTables)
{
    // The first luminance quantiser entry is 16 at quality 50, scaled to 3 at quality 90.
    const QByteArray bytes = imaging::encodeJpeg(fixtures::photo(16, 16));
    const qsizetype dqt = markerAt(bytes, 0xDB);
    ASSERT_GT(dqt, 0);
    EXPECT_EQ(int(bytes[dqt + 5]), 3);
}

TEST(Jpeg, RoundTripKeepsSizesAndStoresAgainAsJpeg)
{
    for (const QSize size : {QSize(1, 1), QSize(480, 640), QSize(67, 45), QSize(1024, 768)}) {
        const Picture first = imaging::decodeJpeg(
            imaging::encodeJpeg(fixtures::photo(size.width(), size.height())));
        EXPECT_EQ(first.width(), size.width());
        EXPECT_EQ(first.height(), size.height());
        const Picture second = imaging::decodeJpeg(imaging::encodeJpeg(first));
        EXPECT_EQ(second.width(), size.width());
        EXPECT_LE(meanDifference(first, second), 2.0) << size.width() << "x" << size.height();
    }
}

TEST(Jpeg, EmptyPictureEncodesToNothing)
{
    EXPECT_TRUE(imaging::encodeJpeg(Picture()).isEmpty());
    EXPECT_TRUE(imaging::encodeJpeg(Picture(0, 10)).isEmpty());
    EXPECT_TRUE(imaging::encodeJpeg(Picture(10, 0)).isEmpty());
}

TEST(Jpeg, GreyAndProgressiveFilesDecodeTo24Bits)
{
    Picture picture = fixtures::grey({{0, 128, 255, 30}, {60, 90, 120, 150}});
    const Picture grey = imaging::decodeJpeg(libjpegFile(picture, true, nullptr, 0));
    ASSERT_EQ(grey.width(), 4);
    for (int x = 0; x < 4; ++x) {
        const QRgb c = grey.pixel(x, 1);
        EXPECT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
    }

    const Picture photo = fixtures::photo(64, 48);
    const jpeg_scan_info simple[] = {{3, {0, 1, 2, 0}, 0, 0, 0, 0},
                                     {1, {0}, 1, 63, 0, 0},
                                     {1, {1}, 1, 63, 0, 0},
                                     {1, {2}, 1, 63, 0, 0}};
    const QByteArray progressive = libjpegFile(photo, false, simple, 4);
    ASSERT_GT(markerAt(progressive, 0xC2), 0);
    EXPECT_LE(meanDifference(imaging::decodeJpeg(progressive), photo), 4.0);
}

namespace {

QByteArray withSize(QByteArray bytes, int width, int height)
{
    const qsizetype sof = markerAt(bytes, 0xC0);
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width);
    return bytes;
}

// 190 legitimate scans: the DC scan, then every AC coefficient of every component alone.
QByteArray manyScans()
{
    static std::vector<jpeg_scan_info> scans;
    scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    for (int component = 0; component < 3; ++component)
        for (int k = 1; k < 64; ++k)
            scans.push_back({1, {component}, k, k, 0, 0});
    return libjpegFile(fixtures::photo(16, 16), false, scans.data(), int(scans.size()));
}

} // namespace

TEST(Jpeg, BadStreamsAreRefused)
{
    const QByteArray good = imaging::encodeJpeg(fixtures::photo(64, 64));
    QByteArray corrupt = good;
    for (qsizetype i = good.size() / 2; i < good.size() / 2 + 40; ++i)
        corrupt[i] = char(0xFF);
    QByteArray badHuffman = good;
    badHuffman[markerAt(good, 0xC4) + 20] = char(0xFF);

    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"one byte", QByteArray("\xFF")},
        {"header only", good.left(markerAt(good, 0xDA))},
        {"truncated scan", good.left(good.size() * 2 / 3)},
        {"missing end", good.left(good.size() - 2)},
        {"corrupt scan", corrupt},
        {"bad huffman table", badHuffman},
        {"not jpeg", fixtures::bitmap(fixtures::photo(4, 4), 24)},
        {"text", QByteArray("hello, this is not a picture\n")},
        {"declared 10000 x 6000", withSize(good, 10000, 6000)},
        {"declared 65500 x 65500", withSize(good, 65500, 65500)},
        {"zero width", withSize(good, 0, 64)},
        {"too many scans", manyScans()},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_THROW(imaging::decodeJpeg(bytes), data::Error) << name;
    }
}
