#include "Resample.h"

#include "Picture.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace imaging {

std::int64_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
{
    const std::int64_t product = a * b;
    const std::int64_t half = (c < 0 ? -c : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t rounded = (product < 0 ? -product : product) + half;
    const std::int64_t quotient = rounded / (c < 0 ? -c : c);
    return negative ? -quotient : quotient;
}

namespace {

// Byte offsets of the two source pixels a destination column reads, and its fraction.
struct Column
{
    std::uint32_t left;
    std::uint32_t right;
    std::uint32_t fraction;
};

std::vector<Column> columnTable(int sourceWidth, int width)
{
    const auto step = std::uint32_t(MulDiv(sourceWidth - 1, 65536, width));
    std::vector<Column> table(size_t(width), Column {});
    std::uint32_t sx = 0;
    for (auto& column : table) {
        const std::uint32_t last = std::uint32_t(sourceWidth) - 1;
        const std::uint32_t ix = std::min(sx >> 16, last);
        const std::uint32_t next = ix < last ? ix + 1 : ix;
        column = {ix * 3, next * 3, sx & 65535};
        sx += step;
    }
    return table;
}

// The per-pixel MulDiv(f, w, 65536) of the weights: f * w < 2^32 for f < 65536, w <= 65536.
inline std::uint32_t weightPart(std::uint32_t fraction, std::uint32_t weight)
{
    return (fraction * weight + 32768) >> 16;
}

void resampleRow(const std::uint8_t* upper, const std::uint8_t* lower, std::uint32_t fy,
                 const std::vector<Column>& columns, std::uint8_t* out)
{
    const std::uint32_t wU = 65536 - fy;
    const std::uint32_t wL = fy + 1;
    for (const Column& c : columns) {
        const std::uint32_t wUR = weightPart(c.fraction, wU);
        const std::uint32_t wUL = wU - wUR;
        const std::uint32_t wLR = weightPart(c.fraction, wL);
        const std::uint32_t wLL = wL - wLR;
        const std::uint8_t* ul = upper + c.left;
        const std::uint8_t* ur = upper + c.right;
        const std::uint8_t* ll = lower + c.left;
        const std::uint8_t* lr = lower + c.right;
        for (int k = 0; k < 3; ++k)
            out[k] = std::uint8_t((ul[k] * wUL + ur[k] * wUR + ll[k] * wLL + lr[k] * wLR) >> 16);
        out += 3;
    }
}

} // namespace

void Resample(const Picture& src, Picture& dst)
{
    const int sw = src.width(), sh = src.height();
    const int dw = dst.width(), dh = dst.height();
    if (sw == dw && sh == dh) {
        dst = src;
        return;
    }
    if (dst.isEmpty())
        return;
    if (src.isEmpty()) {
        dst.fill(qRgb(255, 255, 255));
        return;
    }
    const std::vector<Column> columns = columnTable(sw, dw);
    const auto ystep = std::uint32_t(MulDiv(sh - 1, 65536, dh));
    std::uint32_t sy = 0;
    for (int r = 0; r < dh; ++r) {
        const int iy = std::min(int(sy >> 16), sh - 1);
        const int below = iy < sh - 1 ? iy + 1 : iy;
        resampleRow(src.row(iy), src.row(below), sy & 65535, columns, dst.row(r));
        sy += ystep;
    }
}

void ResizeInto(const Picture& src, Picture& dst, int width, int height)
{
    // One reallocation gives the same picture as setting the width and then the height.
    dst.setSize(width & 0xFFFF, height & 0xFFFF);
    Resample(src, dst);
}

void ResizeGraphic(Picture& picture, int width, int height)
{
    Picture work;
    ResizeInto(picture, work, width, height);
    picture = std::move(work);
}

} // namespace imaging
