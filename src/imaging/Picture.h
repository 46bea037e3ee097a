#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <cstdint>

namespace imaging {

// A picture in memory: 24 bits per pixel, the bytes of a pixel in the order blue, green, red,
// rows from the top. Rows are padded to a multiple of four bytes, so a row is also a valid
// QImage::Format_BGR888 scanline. Every picture is held at 24 bits: files and decoders of
// other depths are converted when they are read. Copies share the pixels until one of them
// is written to.
class Picture
{
public:
    Picture() = default;
    // A white picture of the given size.
    Picture(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }
    qsizetype stride() const { return m_stride; }

    // Change one dimension, keeping the content at the top left: a smaller picture is cut,
    // a larger one grows with white. Throws data::Error when there is no memory for it.
    void setWidth(int width) { setSize(width, m_height); }
    void setHeight(int height) { setSize(m_width, height); }
    void setSize(int width, int height);

    void fill(QRgb colour);

    // Raw rows of width * 3 bytes (B, G, R per pixel).
    const std::uint8_t* row(int y) const
    {
        return reinterpret_cast<const std::uint8_t*>(m_pixels.constData()) + y * m_stride;
    }
    std::uint8_t* row(int y)
    {
        return reinterpret_cast<std::uint8_t*>(m_pixels.data()) + y * m_stride;
    }

    QRgb pixel(int x, int y) const;
    void setPixel(int x, int y, QRgb colour);

    // A view sharing the pixels, valid while this picture lives unchanged; for drawing.
    QImage image() const;
    // Any QImage, converted to 24 bits with the same colours.
    static Picture fromImage(const QImage& image);
    // A picture whose pixels the caller fills completely (decoders, resampler).
    static Picture uninitialised(int width, int height);
    // Makes this such a picture of the given size, keeping its storage when that is large
    // enough and not shared with a copy, so that a batch going through many pictures of
    // similar sizes allocates (and faults in) its pixels once. The pixels are then whatever
    // the storage held; the caller fills them completely.
    void reuseAs(int width, int height);

    friend bool operator==(const Picture& a, const Picture& b);

private:
    static qsizetype strideFor(int width) { return (qsizetype(width) * 3 + 3) & ~qsizetype(3); }
    void allocate(int width, int height);

    int m_width = 0;
    int m_height = 0;
    qsizetype m_stride = 0;
    QByteArray m_pixels;
};

} // namespace imaging
