#include "imaging/PictureFile.h"

#include "Fixtures.h"
#include "data/Error.h"
#include "imaging/Jpeg.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using imaging::Picture;

TEST(PictureFile, ExtensionOfTheFileNamePart)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/p/A.BMP", ".BMP"},  {"/p/a.bmp", ".BMP"},      {"x.Jpeg", ".JPEG"},
        {"/p/y.jpg", ".JPG"},  {"z.jpe", ".JPE"},         {"/p/noext", ""},
        {"/p.d/noext", ""},    {"C:\\p.d\\file", ""},     {"/p/archive.tar.gz", ".GZ"},
        {"/p/trailing.", "."}, {"/p/.hidden", ".HIDDEN"},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(imaging::fileExtension(QString::fromUtf8(path)), QString::fromUtf8(extension))
            << path;
}

class BitmapFiles : public testing::Test
{
protected:
    QString write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        fixtures::writeFile(path, bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(BitmapFiles, EightAndTwentyFourBitsReadWithTheSameColours)
{
    const QList<QRgb> palette = {qRgb(255, 0, 0), qRgb(0, 128, 255), qRgb(9, 9, 9)};
    Picture picture(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, palette[(x + y) % 3]);

    EXPECT_TRUE(imaging::readBitmapFile(write("8.bmp", fixtures::bitmap(picture, 8, palette)))
                == picture);
    EXPECT_TRUE(imaging::readBitmapFile(write("24.bmp", fixtures::bitmap(picture, 24))) == picture);
}

TEST_F(BitmapFiles, BadFilesAreRefusedBeforeQtReadsThem)
{
    const QByteArray good = fixtures::bitmap(fixtures::pattern(40, 30), 24);
    auto with32 = [&](int at, quint32 value) {
        QByteArray bytes = good;
        qToLittleEndian(value, bytes.data() + at);
        return bytes;
    };
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty.bmp", QByteArray()},
        {"text.bmp", QByteArray("BM but only text, not a picture at all")},
        {"truncated.bmp", good.left(good.size() - 100)},
        {"header.bmp", good.left(54)},
        {"huge.bmp", with32(18, 100000)}, // 100000 x 30 is fine in size...
        {"wider.bmp", with32(22, 60000)}, // ...but 40 x 60000 lacks its rows
        {"giant.bmp", with32(22, 0x7FFFFFF)}, // over 50 megapixels
        {"zero.bmp", with32(18, 0)},
        {"jpegcompressed.bmp", with32(30, 4)},
        {"offset.bmp", with32(10, quint32(good.size() + 10))},
        {"jpeg.bmp", imaging::encodeJpeg(fixtures::photo(8, 8))},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_THROW(imaging::readBitmapFile(write(name, bytes)), data::Error) << name;
}

TEST_F(BitmapFiles, MissingAndUnreadableFiles)
{
    EXPECT_THROW(imaging::readBitmapFile(dir.filePath(QStringLiteral("none.bmp"))), data::Error);
    EXPECT_THROW(imaging::readJpegFile(dir.filePath(QStringLiteral("none.jpg"))), data::Error);
    EXPECT_THROW(imaging::readJpegFile(dir.path()), data::Error); // a folder
    EXPECT_THROW(imaging::readJpegFile(write("t.jpg", "just text\n")), data::Error);
}
