#include "imaging/Resample.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

using fixtures::channel;
using fixtures::grey;
using imaging::Picture;
using Rows = std::vector<std::vector<int>>;

TEST(MulDiv, RoundsHalvesAwayFromZero)
{
    struct Case
    {
        std::int64_t a, b, c, expected;
    };
    const Case cases[] = {
        {1, 65536, 4, 16384},  {3, 65536, 2, 98304},
        {1, 65536, 2, 32768},  {1, 3, 2, 2},
        {-1, 3, 2, -2},        {1, 1, 3, 0},
        {2, 1, 3, 1},          {65534, 65536, 1, 4294836224},
        {9, 65536, 1116, 529}, // 528.5161...
    };
    for (const Case& c : cases)
        EXPECT_EQ(imaging::MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

struct Example
{
    const char* name;
    Rows source;
    int width, height;
    Rows expected;
};

void PrintTo(const Example& example, std::ostream* out)
{
    *out << example.name;
}

class ResampleExample : public testing::TestWithParam<Example>
{
};

TEST_P(ResampleExample, GivesTheWorkedResult)
{
    const Example& e = GetParam();
    Picture dst(e.width, e.height);
    imaging::Resample(grey(e.source), dst);
    EXPECT_EQ(channel(dst), e.expected);
    // Red and green follow the same rule as blue.
    for (int y = 0; y < dst.height(); ++y)
        for (int x = 0; x < dst.width(); ++x) {
            const QRgb c = dst.pixel(x, y);
            ASSERT_TRUE(qRed(c) == qBlue(c) && qGreen(c) == qBlue(c));
        }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ResampleExample,
    testing::Values(
        Example {
            "Up2x2To4x4",
            {{0, 255}, {255, 0}},
            4,
            4,
            {{0, 63, 127, 191}, {63, 95, 127, 159}, {127, 127, 127, 127}, {191, 159, 127, 95}}},
        Example {"Down4x2To2x2", {{10, 20, 30, 40}, {50, 60, 70, 80}}, 2, 2, {{10, 25}, {30, 45}}},
        // One source row pairs with itself: every destination row repeats the same row.
        Example {"OneRowHigh",
                 {{0, 100, 200}},
                 5,
                 3,
                 {{0, 39, 80, 119, 160}, {0, 39, 80, 119, 160}, {0, 39, 80, 119, 160}}},
        // One destination row still gives the lower source row its weight of 1/65537.
        Example {"OneRowDestination", {{0, 255}, {255, 255}}, 3, 1, {{0, 85, 170}}},
        // One source column: its missing right-hand neighbour has weight 0.
        Example {"OnePixelWide", {{9}, {99}}, 3, 2, {{9, 9, 9}, {54, 54, 54}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The rule written out per pixel, with two MulDivs per pixel as it is stated; the column past
// the last one reads as the last column.
Picture reference(const Picture& s, int dw, int dh)
{
    Picture d(dw, dh);
    const int sw = s.width(), sh = s.height();
    const auto xstep = std::uint32_t(imaging::MulDiv(sw - 1, 65536, dw));
    const auto ystep = std::uint32_t(imaging::MulDiv(sh - 1, 65536, dh));
    std::uint32_t sy = 0;
    for (int r = 0; r < dh; ++r, sy += ystep) {
        const int iy = int(sy >> 16);
        const std::uint32_t fy = sy & 65535, wU = 65536 - fy, wL = fy + 1;
        const std::uint8_t* U = s.row(iy);
        const std::uint8_t* L = s.row(iy < sh - 1 ? iy + 1 : iy);
        std::uint32_t sx = 0;
        for (int c = 0; c < dw; ++c, sx += xstep) {
            const int ix = int(sx >> 16), right = ix < sw - 1 ? ix + 1 : ix;
            const std::uint32_t fx = sx & 65535;
            const auto wUR = std::uint32_t(imaging::MulDiv(fx, wU, 65536)), wUL = wU - wUR;
            const auto wLR = std::uint32_t(imaging::MulDiv(fx, wL, 65536)), wLL = wL - wLR;
            for (int k = 0; k < 3; ++k)
                d.row(r)[c * 3 + k] = std::uint8_t((U[ix * 3 + k] * wUL + U[right * 3 + k] * wUR
                                                    + L[ix * 3 + k] * wLL + L[right * 3 + k] * wLR)
                                                   >> 16);
        }
    }
    return d;
}

TEST(Resample, MatchesThePerPixelRuleAtAwkwardSizes)
{
    // 2 -> 416 and 10 -> 1116 carry the last columns onto the source's last column.
    const std::pair<QSize, QSize> sizes[] = {
        {{2, 2}, {416, 3}},       {{10, 3}, {1116, 2}}, {{10, 3}, {1115, 2}}, {{7, 5}, {3, 2}},
        {{640, 480}, {120, 160}}, {{3, 7}, {2, 1000}},  {{1, 1}, {5, 5}},
    };
    for (const auto& [from, to] : sizes) {
        const Picture src = fixtures::pattern(from.width(), from.height());
        Picture dst(to.width(), to.height());
        imaging::Resample(src, dst);
        EXPECT_TRUE(dst == reference(src, to.width(), to.height()))
            << from.width() << "x" << from.height() << " -> " << to.width() << "x" << to.height();
    }
}

TEST(Resample, SameSizeCopiesAndUniformColourStays)
{
    const Picture src = fixtures::pattern(31, 17);
    Picture same(31, 17);
    imaging::Resample(src, same);
    EXPECT_TRUE(same == src);

    Picture uniform(13, 9);
    uniform.fill(qRgb(12, 200, 77));
    for (const QSize size : {QSize(1, 1), QSize(40, 3), QSize(5, 50), QSize(2, 2)}) {
        Picture dst(size.width(), size.height());
        imaging::Resample(uniform, dst);
        Picture expected(size.width(), size.height());
        expected.fill(qRgb(12, 200, 77));
        EXPECT_TRUE(dst == expected) << size.width() << "x" << size.height();
    }
}

TEST(Resample, DegenerateSizes)
{
    // A destination without pixels stays as it is; an empty source gives white.
    Picture noColumns(0, 5);
    imaging::Resample(fixtures::pattern(4, 4), noColumns);
    EXPECT_EQ(noColumns.width(), 0);
    EXPECT_EQ(noColumns.height(), 5);

    Picture dst(3, 2);
    dst.fill(qRgb(1, 2, 3));
    imaging::Resample(Picture(0, 7), dst);
    EXPECT_TRUE(dst == Picture(3, 2));
}

TEST(ResizeInto, TakesSixteenBitSizesAndReplacesTheDestination)
{
    Picture dst = fixtures::pattern(9, 9);
    imaging::ResizeInto(fixtures::pattern(20, 10), dst, 65536 + 4, 3);
    EXPECT_EQ(dst.width(), 4);
    EXPECT_EQ(dst.height(), 3);
    EXPECT_TRUE(dst == reference(fixtures::pattern(20, 10), 4, 3));
}

TEST(ResizeGraphic, ResizesInPlace)
{
    Picture photo = fixtures::photo(480, 640);
    imaging::ResizeGraphic(photo, 120, 160);
    EXPECT_EQ(photo.width(), 120);
    EXPECT_EQ(photo.height(), 160);

    Picture blank(120, 160);
    imaging::ResizeGraphic(blank, 120, 160);
    EXPECT_TRUE(blank == Picture(120, 160));
}
