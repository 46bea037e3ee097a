#include "imaging/CardShape.h"

#include "imaging/Picture.h"

#include <gtest/gtest.h>

namespace {

struct Shape
{
    int width, height; // of the picture
    int keptWidth, keptHeight; // after the crop
};

class CardShapeCrop : public testing::TestWithParam<Shape>
{
};

// Each column keeps its x in red and each row its y in green, so that the kept part's place
// can be read back from its corner.
TEST_P(CardShapeCrop, KeepsTheLargest3By4PartAroundTheCentre)
{
    const Shape s = GetParam();
    imaging::Picture picture(s.width, s.height);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, 0));
    const imaging::Picture cropped = imaging::cropToCardShape(picture);
    ASSERT_EQ(cropped.width(), s.keptWidth);
    ASSERT_EQ(cropped.height(), s.keptHeight);
    const int left = (s.width - s.keptWidth) / 2;
    const int top = (s.height - s.keptHeight) / 2;
    for (const auto& [x, y] : {std::pair {0, 0}, {s.keptWidth - 1, s.keptHeight - 1}}) {
        EXPECT_EQ(cropped.pixel(x, y), qRgb((left + x) % 256, (top + y) % 256, 0)) << x << "," << y;
    }
    EXPECT_EQ(imaging::fitToCard(picture, imaging::PhotoFit::Stretch), picture);
}

INSTANTIATE_TEST_SUITE_P(, CardShapeCrop,
                         testing::Values(Shape {400, 300, 225, 300}, Shape {100, 1000, 100, 133},
                                         Shape {30, 40, 30, 40}, Shape {301, 400, 300, 400},
                                         Shape {121, 161, 121, 161}, Shape {1, 500, 1, 1},
                                         Shape {500, 1, 1, 1}, Shape {2, 2, 2, 2}));

TEST(CardShape, AnEmptyPictureStaysEmpty)
{
    EXPECT_TRUE(imaging::cropToCardShape(imaging::Picture()).isEmpty());
}

} // namespace
