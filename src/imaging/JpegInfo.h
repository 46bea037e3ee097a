#pragma once

#include <QByteArray>
#include <QSize>

namespace imaging {

// What a JPEG stream's markers say about it, read without decoding any of its data.
struct JpegInfo
{
    QSize size; // invalid when there is no readable frame header
    int components = 0;
    bool progressive = false;
    // The bytes show the same picture in any PDF viewer as decodeJpeg gives: a whole stream
    // (every marker in place, up to the end of image) of 8-bit Huffman-coded baseline,
    // extended or progressive data, grey or YCbCr colour, within the decoder's limits. Not:
    // CMYK or YCCK inks, RGB-coded colour, arithmetic coding, lossless, hierarchical or
    // 12-bit data, a stream that ends early. An Exif orientation does not matter: neither
    // decodeJpeg nor a PDF viewer turns the picture by it.
    bool embeddable = false;
};

JpegInfo inspectJpeg(const QByteArray& bytes);

} // namespace imaging
