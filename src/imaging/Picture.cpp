#include "Picture.h"

#include "data/Error.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace imaging {

Picture::Picture(int width, int height)
{
    allocate(width, height);
    m_pixels.fill(char(0xFF));
}

Picture Picture::uninitialised(int width, int height)
{
    Picture picture;
    picture.allocate(width, height);
    return picture;
}

void Picture::reuseAs(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const qsizetype stride = strideFor(width);
    if (!m_pixels.isDetached() || m_pixels.capacity() < stride * height) {
        allocate(width, height);
        return;
    }
    m_pixels.resize(stride * height); // within its capacity: no new storage
    m_width = width;
    m_height = height;
    m_stride = stride;
}

void Picture::allocate(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const qsizetype stride = strideFor(width);
    try {
        m_pixels = QByteArray(stride * height, Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        throw data::Error(QStringLiteral("Out of memory"));
    }
    m_width = width;
    m_height = height;
    m_stride = stride;
}

void Picture::setSize(int width, int height)
{
    if (width == m_width && height == m_height)
        return;
    Picture grown(width, height);
    const int rows = std::min(m_height, grown.m_height);
    const qsizetype bytes = qsizetype(std::min(m_width, grown.m_width)) * 3;
    for (int y = 0; y < rows; ++y)
        std::memcpy(grown.row(y), row(y), size_t(bytes));
    *this = std::move(grown);
}

void Picture::fill(QRgb colour)
{
    if (isEmpty())
        return;
    std::uint8_t* first = row(0);
    for (int x = 0; x < m_width; ++x) {
        first[x * 3] = std::uint8_t(qBlue(colour));
        first[x * 3 + 1] = std::uint8_t(qGreen(colour));
        first[x * 3 + 2] = std::uint8_t(qRed(colour));
    }
    for (int y = 1; y < m_height; ++y)
        std::memcpy(row(y), first, size_t(m_stride));
}

QRgb Picture::pixel(int x, int y) const
{
    const std::uint8_t* p = row(y) + x * 3;
    return qRgb(p[2], p[1], p[0]);
}

void Picture::setPixel(int x, int y, QRgb colour)
{
    std::uint8_t* p = row(y) + x * 3;
    p[0] = std::uint8_t(qBlue(colour));
    p[1] = std::uint8_t(qGreen(colour));
    p[2] = std::uint8_t(qRed(colour));
}

QImage Picture::image() const
{
    if (isEmpty())
        return {};
    return QImage(row(0), m_width, m_height, m_stride, QImage::Format_BGR888);
}

Picture Picture::fromImage(const QImage& image)
{
    const QImage converted = image.convertToFormat(QImage::Format_BGR888);
    Picture picture = uninitialised(converted.width(), converted.height());
    const size_t bytes = size_t(picture.width()) * 3;
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(picture.row(y), converted.constScanLine(y), bytes);
    return picture;
}

bool operator==(const Picture& a, const Picture& b)
{
    if (a.m_width != b.m_width || a.m_height != b.m_height)
        return false;
    const size_t bytes = size_t(a.m_width) * 3;
    for (int y = 0; y < a.m_height; ++y) {
        if (std::memcmp(a.row(y), b.row(y), bytes) != 0)
            return false;
    }
    return true;
}

} // namespace imaging
