#include "imaging/Jpeg.h"

#include "Fixtures.h"
#include "data/Error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <cstdio>
#include <gtest/gtest.h>
#include <tuple>
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

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(JPEG_FIXTURES "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray uniform(int width, int height)
{
    Picture picture(width, height);
    picture.fill(qRgb(90, 160, 220));
    return imaging::encodeJpeg(picture);
}

} // namespace

TEST(Jpeg, BadStreamsAreRefusedWithTheReason)
{
    const QByteArray good = imaging::encodeJpeg(fixtures::photo(64, 64));
    QByteArray badHuffman = good;
    badHuffman[markerAt(good, 0xC4) + 20] = char(0xFF);

    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"empty", QByteArray(), ""},
        {"one byte", QByteArray("\xFF"), ""},
        {"header only", good.left(markerAt(good, 0xDA)), ""},
        {"bad huffman table", badHuffman, "Huffman"},
        {"not jpeg", fixtures::bitmap(fixtures::photo(4, 4), 24), "Not a JPEG"},
        {"text", QByteArray("hello, this is not a picture\n"), "Not a JPEG"},
        {"declared 10000 x 6000", withSize(good, 10000, 6000),
         "declares 10000 x 6000 pixels, more than its"},
        {"declared 65500 x 65500", withSize(good, 65500, 65500), "up to 200 megapixels"},
        {"zero width", withSize(good, 0, 64), ""},
        {"too many scans", manyScans(), "Too many scans"},
    };
    for (const auto& [name, bytes, says] : cases) {
        try {
            imaging::decodeJpeg(bytes);
            ADD_FAILURE() << name << " decoded";
        } catch (const data::Error& error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(says)))
                << name << ": " << error.message().toStdString();
        }
    }
}

// What the library can patch over decodes as it does in any viewer: files from cameras and
// other programs often carry such flaws.
TEST(Jpeg, DamagedStreamsGiveThePictureTheLibraryMakes)
{
    const QByteArray photo = fixture("photo-64x48.jpg");
    ASSERT_FALSE(photo.isEmpty());
    const Picture clean = imaging::decodeJpeg(photo);
    QByteArray stray = photo;
    stray.insert(markerAt(photo, 0xDA), "\x12\x34");
    const qsizetype scan = markerAt(photo, 0xDA);
    // A byte of the scan data changed without making a marker of it.
    QByteArray flipped = photo;
    qsizetype at = photo.size() - 20;
    while (uchar(photo[at]) == 0xFF || uchar(photo[at - 1]) == 0xFF
           || (uchar(photo[at]) ^ 0x5A) == 0xFF)
        --at;
    flipped[at] = char(photo[at] ^ 0x5A);

    const std::pair<const char*, QByteArray> cases[] = {
        {"two stray bytes before a marker", stray},
        {"missing end marker", photo.left(photo.size() - 2)},
        {"missing last bytes", photo.left(scan + (photo.size() - scan) / 2)},
        {"corrupt scan data", flipped},
    };
    for (const auto& [name, bytes] : cases) {
        Picture decoded;
        ASSERT_NO_THROW(decoded = imaging::decodeJpeg(bytes)) << name;
        EXPECT_EQ(decoded.width(), 64) << name;
        EXPECT_EQ(decoded.height(), 48) << name;
        // The top rows come through intact.
        int worst = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 64 * 3; ++x)
                worst = std::max(worst, std::abs(decoded.row(y)[x] - clean.row(y)[x]));
        EXPECT_LE(worst, 2) << name;
    }
    EXPECT_LE(maxChannelDifference(imaging::decodeJpeg(stray), clean), 0);
}

TEST(Jpeg, InkFilesDecodeToColour)
{
    // ImageMagick's CMYK file: Adobe's inverted inks, red on the left, blue on the right.
    const QByteArray cmyk = fixture("cmyk-red-blue.jpg");
    ASSERT_FALSE(cmyk.isEmpty());
    const Picture picture = imaging::decodeJpeg(cmyk);
    ASSERT_EQ(picture.width(), 32);
    const auto near = [](QRgb c, int r, int g, int b) {
        return std::abs(qRed(c) - r) <= 8 && std::abs(qGreen(c) - g) <= 8
            && std::abs(qBlue(c) - b) <= 8;
    };
    EXPECT_TRUE(near(picture.pixel(4, 8), 255, 0, 0)) << std::hex << picture.pixel(4, 8);
    EXPECT_TRUE(near(picture.pixel(28, 8), 0, 0, 255)) << std::hex << picture.pixel(28, 8);

    // YCCK, which libjpeg writes from CMYK input, and plain CMYK without an Adobe marker.
    for (const bool ycck : {true, false}) {
        jpeg_compress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_compress(&cinfo);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = 16;
        cinfo.image_height = 16;
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
        jpeg_set_defaults(&cinfo);
        jpeg_set_colorspace(&cinfo, ycck ? JCS_YCCK : JCS_CMYK);
        cinfo.write_Adobe_marker = ycck;
        jpeg_start_compress(&cinfo, TRUE);
        // Green: no magenta ink. Adobe files store 255 - ink, plain ones the ink itself.
        const unsigned char inks[4] = {255, 0, 255, 0};
        unsigned char row[16 * 4];
        for (int x = 0; x < 16; ++x)
            for (int i = 0; i < 4; ++i)
                row[x * 4 + i] = ycck ? 255 - inks[i] : inks[i];
        for (int y = 0; y < 16; ++y) {
            JSAMPROW r = row;
            jpeg_write_scanlines(&cinfo, &r, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        const QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
        std::free(buffer);
        const Picture green = imaging::decodeJpeg(bytes);
        EXPECT_TRUE(near(green.pixel(8, 8), 0, 255, 0))
            << (ycck ? "YCCK " : "CMYK ") << std::hex << green.pixel(8, 8);
    }
}

TEST(Jpeg, LargeCameraPhotosDecodeAndScaleDownToFit)
{
    // 50.4 megapixels: the size of a high-end camera's photo.
    const QByteArray big = uniform(7100, 7100);
    EXPECT_EQ(imaging::jpegSize(big), QSize(7100, 7100));
    const Picture full = imaging::decodeJpeg(big);
    EXPECT_EQ(full.width(), 7100);
    EXPECT_EQ(full.height(), 7100);

    // The smallest n/8 that still covers the box in both directions.
    const std::tuple<QSize, QSize> fits[] = {
        {QSize(120, 160), QSize(888, 888)}, // 1/8
        {QSize(497, 660), QSize(888, 888)}, // 1/8
        {QSize(1000, 100), QSize(1775, 1775)}, // 2/8
        {QSize(7100, 7100), QSize(7100, 7100)},
        {QSize(9000, 9000), QSize(7100, 7100)}, // never larger than the file
    };
    for (const auto& [fit, expected] : fits) {
        const Picture scaled = imaging::decodeJpeg(big, fit);
        EXPECT_EQ(QSize(scaled.width(), scaled.height()), expected) << fit.width();
        const QRgb middle = scaled.pixel(scaled.width() / 2, scaled.height() / 2);
        EXPECT_LE(std::abs(qBlue(middle) - qBlue(full.pixel(3550, 3550))), 2);
    }
    // A small picture is never scaled.
    const Picture small
        = imaging::decodeJpeg(imaging::encodeJpeg(fixtures::photo(100, 80)), QSize(120, 160));
    EXPECT_EQ(small.width(), 100);
}

// A batch decodes into one picture over and over: each decoding gives the pixels a fresh
// one would get, in the storage already there when it is large enough and not shared.
TEST(Jpeg, DecodingIntoAPictureGivesWhatAFreshDecodingGives)
{
    const QByteArray wide = imaging::encodeJpeg(fixtures::photo(96, 40));
    const QByteArray cmyk = fixture("cmyk-red-blue.jpg");
    const QByteArray grey = libjpegFile(fixtures::photo(50, 70), true, nullptr, 0);
    const QByteArray large = imaging::encodeJpeg(fixtures::photo(120, 90));
    ASSERT_FALSE(cmyk.isEmpty());

    Picture reused = imaging::decodeJpeg(large);
    const std::uint8_t* storage = reused.row(0);
    for (const QByteArray& bytes : {wide, cmyk, grey}) {
        imaging::decodeJpegInto(bytes, reused);
        EXPECT_EQ(reused, imaging::decodeJpeg(bytes));
        EXPECT_EQ(reused.row(0), storage) << "smaller pictures keep the storage";
    }
    imaging::decodeJpegInto(wide, reused, QSize(24, 10));
    EXPECT_EQ(reused, imaging::decodeJpeg(wide, QSize(24, 10)));

    // A copy keeps its pixels; a larger picture gets storage of its own.
    const Picture copy = reused;
    const Picture before = imaging::decodeJpeg(wide, QSize(24, 10));
    imaging::decodeJpegInto(grey, reused);
    EXPECT_EQ(copy, before);
    EXPECT_EQ(reused, imaging::decodeJpeg(grey));
    const QByteArray larger = imaging::encodeJpeg(fixtures::photo(200, 150));
    imaging::decodeJpegInto(larger, reused);
    EXPECT_EQ(reused, imaging::decodeJpeg(larger));

    EXPECT_THROW(imaging::decodeJpegInto("not a picture", reused), data::Error);
    imaging::decodeJpegInto(wide, reused);
    EXPECT_EQ(reused, imaging::decodeJpeg(wide));
}
