#pragma once

#include <QByteArray>
#include <QString>

namespace imaging {

class Picture;

// Picture files. Each reader takes the whole file into memory and throws data::Error for a
// file that cannot be opened or is not a clean picture of its kind.

// The extension of the file name part, from its last "." on, ASCII letters upper-cased;
// empty when there is none.
QString fileExtension(const QString& path);

// BMP of any depth, converted to 24 bits. The header is checked before Qt reads the pixels:
// the declared size must be at most jpegMaxPixels and the file must hold all the pixel data
// its header declares.
Picture readBitmapFile(const QString& path);
void checkBitmapHeader(const QByteArray& bytes);

// JPEG through the same decoder as stored pictures.
Picture readJpegFile(const QString& path);

// Files larger than this are refused before they are read.
inline constexpr qint64 pictureFileLimit = 256LL * 1024 * 1024;

} // namespace imaging
