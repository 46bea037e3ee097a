#include "Adjust.h"

#include "Picture.h"
#include "Progress.h"

#include <array>
#include <cstdint>

namespace imaging {
namespace {

using Table = std::array<std::uint8_t, 256>;

Table scaleTable(int percent)
{
    const int factor = percent + 100;
    Table table {};
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = std::uint8_t(v * factor / 100);
    return table;
}

Picture startWork(Progress& progress, const Picture& picture)
{
    Picture work = Picture::uninitialised(picture.width(), picture.height());
    progress.setMin(0);
    progress.setMax(picture.height() - 1);
    progress.show();
    return work;
}

// The luma/chroma round trip of one pixel. Products and sums are formed in long double
// (80-bit on x86-64) with the constants at that precision; the six intermediates are
// rounded to double where they are stored, and the results truncated toward zero.
struct Hue
{
    long double intensity;
    long double saturation;

    void apply(const std::uint8_t* in, std::uint8_t* out) const
    {
        const long double b = in[0], g = in[1], r = in[2];
        const double y = double(r * 0.299L + g * 0.587L + b * 0.114L);
        const double cb = double((b - y) * 0.565L);
        const double cr = double((r - y) * 0.713L);
        const double y2 = double(intensity * y / 100);
        const double cr2 = double(saturation * cr / 100);
        const double cb2 = double(saturation * cb / 100);
        const auto r2 = static_cast<std::int64_t>(1.403L * cr2 + y2);
        const auto g2 = static_cast<std::int64_t>(y2 - 0.344L * cb2 - 0.714L * cr2);
        const auto b2 = static_cast<std::int64_t>(1.77L * cb2 + y2);
        out[0] = std::uint8_t(b2);
        out[1] = std::uint8_t(g2);
        out[2] = std::uint8_t(r2);
    }
};

} // namespace

void AdjustRGB(Progress& progress, Picture& picture, int red, int green, int blue)
{
    Picture work = startWork(progress, picture);
    const Table scaleB = scaleTable(blue), scaleG = scaleTable(green), scaleR = scaleTable(red);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* in = picture.row(y);
        std::uint8_t* out = work.row(y);
        for (int x = 0; x < picture.width() * 3; x += 3) {
            out[x] = scaleB[in[x]];
            out[x + 1] = scaleG[in[x + 1]];
            out[x + 2] = scaleR[in[x + 2]];
        }
        progress.step();
    }
    picture = std::move(work);
}

void AdjustHue(Progress& progress, Picture& picture, int intensity, int saturation)
{
    Picture work = startWork(progress, picture);
    const Hue hue {intensity + 100.0L, saturation + 100.0L};
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* in = picture.row(y);
        std::uint8_t* out = work.row(y);
        for (int x = 0; x < picture.width() * 3; x += 3)
            hue.apply(in + x, out + x);
        progress.step();
    }
    picture = std::move(work);
}

} // namespace imaging
