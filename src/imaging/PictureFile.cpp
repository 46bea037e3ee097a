#include "PictureFile.h"

#include "Jpeg.h"
#include "Picture.h"
#include "data/Error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <array>

namespace imaging {
namespace {

[[noreturn]] void refuse(const QString& why)
{
    throw data::Error(why);
}

QByteArray readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(file.errorString());
    if (file.size() > pictureFileLimit)
        refuse(QStringLiteral("File too large"));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        refuse(file.errorString());
    return bytes;
}

// The file header and the longest info header fields read, zero where the file is shorter.
using Header = std::array<uchar, 14 + 40>;

quint32 u32(const Header& header, size_t at)
{
    return qFromLittleEndian<quint32>(&header[at]);
}
quint16 u16(const Header& header, size_t at)
{
    return qFromLittleEndian<quint16>(&header[at]);
}

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

} // namespace

QString fileExtension(const QString& path)
{
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= separator)
        return {};
    QString extension = path.mid(dot);
    for (QChar& c : extension) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return extension;
}

void checkBitmapHeader(const QByteArray& bytes)
{
    const auto bad = [] { refuse(QStringLiteral("Not a valid bitmap")); };
    if (bytes.size() < 26 || !bytes.startsWith("BM"))
        bad();
    Header header {};
    std::copy_n(bytes.constBegin(), std::min(bytes.size(), qsizetype(header.size())),
                header.begin());
    const quint32 offset = u32(header, 10);
    const quint32 infoSize = u32(header, 14);
    qint64 width = 0, height = 0;
    quint32 bits = 0, compression = Rgb, imageSize = 0;
    if (infoSize == 12) {
        width = u16(header, 18);
        height = u16(header, 20);
        bits = u16(header, 24);
    } else if (infoSize >= 40 && bytes.size() >= 14 + 40) {
        width = qint32(u32(header, 18));
        height = qint32(u32(header, 22));
        bits = u16(header, 28);
        compression = u32(header, 30);
        imageSize = u32(header, 34);
    } else {
        bad();
    }
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0)
        bad();
    if (width * height > jpegMaxPixels)
        refuse(QStringLiteral("Picture too large"));
    const qint64 available = bytes.size() - qint64(offset);
    if (offset < 14 + infoSize || available <= 0)
        bad();
    switch (compression) {
    case Rgb:
    case BitFields:
    case AlphaBitFields:
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            bad();
        // Qt fills the rows missing from a short file with zeros instead of failing.
        if ((width * bits + 31) / 32 * 4 * height > available)
            refuse(QStringLiteral("Bitmap file is truncated"));
        break;
    case Rle8:
    case Rle4:
        if (bits != (compression == Rle8 ? 8u : 4u) || qint64(imageSize) > available)
            bad();
        break;
    default:
        bad();
    }
}

Picture readBitmapFile(const QString& path)
{
    QByteArray bytes = readWhole(path);
    checkBitmapHeader(bytes);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    const QImage image = reader.read();
    if (image.isNull())
        refuse(reader.errorString());
    return Picture::fromImage(image);
}

Picture readJpegFile(const QString& path)
{
    return decodeJpeg(readWhole(path));
}

} // namespace imaging
