#include "imaging/Picture.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

using imaging::Picture;

TEST(Picture, NewAndGrownAreasAreWhite)
{
    Picture picture(3, 2);
    EXPECT_EQ(picture.pixel(2, 1), qRgb(255, 255, 255));
    picture.fill(qRgb(1, 2, 3));
    picture.setWidth(5);
    picture.setHeight(1);
    picture.setHeight(4);
    ASSERT_EQ(picture.width(), 5);
    ASSERT_EQ(picture.height(), 4);
    EXPECT_EQ(picture.pixel(2, 0), qRgb(1, 2, 3));
    EXPECT_EQ(picture.pixel(3, 0), qRgb(255, 255, 255)); // grown to the right
    EXPECT_EQ(picture.pixel(0, 1), qRgb(255, 255, 255)); // cut, then grown again
}

TEST(Picture, CopiesAreIndependent)
{
    Picture a = fixtures::pattern(4, 4);
    Picture b = a;
    b.setPixel(0, 0, qRgb(9, 9, 9));
    EXPECT_NE(a.pixel(0, 0), b.pixel(0, 0));
}

TEST(Picture, ImagesOfOtherDepthsKeepTheirColours)
{
    QImage indexed(3, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
    indexed.fill(0);
    indexed.setPixel(1, 1, 1);
    QImage mono(3, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(1);
    mono.setPixel(2, 0, 0);

    const Picture fromIndexed = Picture::fromImage(indexed);
    EXPECT_EQ(fromIndexed.pixel(1, 1), qRgb(200, 100, 0));
    EXPECT_EQ(fromIndexed.pixel(0, 0), qRgb(10, 20, 30));
    const Picture fromMono = Picture::fromImage(mono);
    EXPECT_EQ(fromMono.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(fromMono.pixel(1, 1), qRgb(255, 255, 255));
    // And the view shows the same pixels.
    EXPECT_EQ(fromIndexed.image().pixel(1, 1), qRgb(200, 100, 0));
}
