#include "Fixtures.h"

#include <QFile>
#include <QtEndian>
#include <stdexcept>

namespace fixtures {

imaging::Picture grey(const std::vector<std::vector<int>>& rows)
{
    imaging::Picture picture(rows.empty() ? 0 : int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int v = rows[size_t(y)][size_t(x)];
            picture.setPixel(x, y, qRgb(v, v, v));
        }
    return picture;
}

std::vector<std::vector<int>> channel(const imaging::Picture& picture)
{
    std::vector<std::vector<int>> rows(size_t(picture.height()));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            rows[size_t(y)].push_back(qBlue(picture.pixel(x, y)));
    return rows;
}

imaging::Picture pattern(int width, int height)
{
    imaging::Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x * 3 + y * 5) % 256));
    return picture;
}

imaging::Picture photo(int width, int height)
{
    imaging::Picture picture(width, height);
    unsigned seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            const int noise = int(seed >> 28);
            picture.setPixel(x, y,
                             qRgb(x * 200 / width + noise, y * 200 / height + noise,
                                  (x + y) * 127 / (width + height) + 64 + noise));
        }
    return picture;
}

QByteArray bitmap(const imaging::Picture& picture, int bits, const QList<QRgb>& palette)
{
    const int w = picture.width(), h = picture.height();
    const int rowBytes = (w * bits + 31) / 32 * 4;
    const int paletteBytes = bits == 8 ? 4 * int(palette.size()) : 0;
    const int offset = 14 + 40 + paletteBytes;
    QByteArray bytes(offset + rowBytes * h, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, bytes.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, bytes.data() + at); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, quint32(bytes.size()));
    put32(10, quint32(offset));
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(h));
    put16(26, 1);
    put16(28, quint16(bits));
    put32(46, bits == 8 ? quint32(palette.size()) : 0);
    for (int i = 0; i < paletteBytes / 4; ++i)
        put32(54 + 4 * i, palette[i] & 0xFFFFFF);
    for (int y = 0; y < h; ++y) {
        char* row = bytes.data() + offset + (h - 1 - y) * rowBytes; // bottom-up
        for (int x = 0; x < w; ++x) {
            const QRgb c = picture.pixel(x, y);
            if (bits == 24) {
                row[x * 3] = char(qBlue(c));
                row[x * 3 + 1] = char(qGreen(c));
                row[x * 3 + 2] = char(qRed(c));
            } else {
                row[x] = char(palette.indexOf(c | 0xFF000000));
            }
        }
    }
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write fixture");
}

} // namespace fixtures
