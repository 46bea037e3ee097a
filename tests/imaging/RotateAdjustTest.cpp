#include "Fixtures.h"
#include "data/Error.h"
#include "imaging/Adjust.h"
#include "imaging/Rotate.h"

#include <gtest/gtest.h>

using fixtures::RecordingProgress;
using imaging::Picture;

TEST(Rotate90, TurnsAQuarterCounterClockwise)
{
    // Rows (a, b, c) and (d, e, f) become (c, f), (b, e), (a, d).
    const QRgb a = qRgb(1, 2, 3), b = qRgb(4, 5, 6), c = qRgb(7, 8, 9), d = qRgb(10, 11, 12),
               e = qRgb(13, 14, 15), f = qRgb(16, 17, 18);
    Picture picture(3, 2);
    const QRgb source[2][3] = {{a, b, c}, {d, e, f}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            picture.setPixel(x, y, source[y][x]);

    RecordingProgress progress;
    imaging::Rotate90(progress, picture);

    ASSERT_EQ(picture.width(), 2);
    ASSERT_EQ(picture.height(), 3);
    const QRgb expected[3][2] = {{c, f}, {b, e}, {a, d}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(picture.pixel(x, y), expected[y][x]) << x << "," << y;
}

TEST(Rotate90, CountsSourceRowsAndFourTurnsGiveThePictureBack)
{
    const Picture start = fixtures::pattern(480, 640);
    Picture picture = start;
    RecordingProgress progress;
    imaging::Rotate90(progress, picture);
    EXPECT_EQ(picture.width(), 640);
    EXPECT_EQ(picture.height(), 480);
    EXPECT_EQ(progress.gauge.min(), 0);
    EXPECT_EQ(progress.gauge.max(), 639);
    EXPECT_EQ(progress.steps, 640);
    EXPECT_EQ(progress.shown, 1);
    for (int turn = 0; turn < 3; ++turn)
        imaging::Rotate90(progress, picture);
    EXPECT_TRUE(picture == start);
}

TEST(PixelLoops, PictureWithoutRowsIsRefusedByTheGaugeAndKept)
{
    const auto refused = [](auto operation) {
        Picture picture(5, 0);
        RecordingProgress progress;
        try {
            operation(progress, picture);
            ADD_FAILURE() << "no refusal";
        } catch (const data::Error& error) {
            EXPECT_EQ(error.message(), QStringLiteral("Value must be between 1 and 2147483647"));
        }
        EXPECT_EQ(picture.width(), 5);
        EXPECT_EQ(progress.steps, 0);
    };
    refused([](auto& p, Picture& pic) { imaging::Rotate90(p, pic); });
    refused([](auto& p, Picture& pic) { imaging::AdjustRGB(p, pic, 10, 10, 10); });
    refused([](auto& p, Picture& pic) { imaging::AdjustHue(p, pic, 10, 10); });
}

struct RgbCase
{
    int red, green, blue;
    QRgb in, out;
};

TEST(AdjustRGB, ScalesEachByteAndKeepsTheLowByte)
{
    const RgbCase cases[] = {
        {0, 0, 0, qRgb(200, 13, 255), qRgb(200, 13, 255)},
        {50, 0, 0, qRgb(200, 7, 9), qRgb(44, 7, 9)}, // 300 -> 44
        {100, 0, 0, qRgb(128, 1, 1), qRgb(0, 1, 1)}, // 256 -> 0
        {0, 100, 0, qRgb(0, 255, 0), qRgb(0, 254, 0)}, // 510 -> 254
        {-100, -100, -100, qRgb(255, 90, 1), qRgb(0, 0, 0)},
        {0, 0, -35, qRgb(0, 0, 99), qRgb(0, 0, 64)}, // 64.35 -> 64
        {-200, 0, 0, qRgb(1, 0, 0), qRgb(255, 0, 0)}, // -1 -> 255
        {7, 0, 0, qRgb(255, 0, 0), qRgb(16, 0, 0)}, // 272.85 -> 272 -> 16
    };
    for (const RgbCase& c : cases) {
        Picture picture(2, 1);
        picture.setPixel(1, 0, c.in);
        RecordingProgress progress;
        imaging::AdjustRGB(progress, picture, c.red, c.green, c.blue);
        EXPECT_EQ(picture.pixel(1, 0), c.out) << c.red << " " << c.green << " " << c.blue;
    }
}

struct HueCase
{
    int intensity, saturation;
    QRgb in, out;
};

TEST(AdjustHue, ReproducesTheExtendedPrecisionResults)
{
    const HueCase cases[] = {
        {0, 0, qRgb(100, 200, 100), qRgb(99, 199, 99)},
        {0, 0, qRgb(200, 50, 30), qRgb(200, 50, 29)},
        {0, 0, qRgb(77, 77, 77), qRgb(77, 77, 77)},
        {0, 0, qRgb(0, 0, 0), qRgb(0, 0, 0)},
        {0, 0, qRgb(255, 255, 255), qRgb(255, 255, 255)},
        {100, 0, qRgb(128, 128, 128), qRgb(0, 0, 0)},
        {100, 0, qRgb(255, 255, 255), qRgb(254, 254, 254)},
        {-100, 0, qRgb(128, 128, 128), qRgb(0, 0, 0)},
        {-100, 0, qRgb(100, 200, 100), qRgb(198, 41, 198)},
        {0, -100, qRgb(200, 50, 30), qRgb(92, 92, 92)},
    };
    for (const HueCase& c : cases) {
        Picture picture(1, 1);
        picture.setPixel(0, 0, c.in);
        RecordingProgress progress;
        imaging::AdjustHue(progress, picture, c.intensity, c.saturation);
        const QRgb got = picture.pixel(0, 0);
        EXPECT_EQ(got, c.out) << c.intensity << "/" << c.saturation << " (" << qRed(c.in) << ","
                              << qGreen(c.in) << "," << qBlue(c.in) << ") gave " << qRed(got) << ","
                              << qGreen(got) << "," << qBlue(got);
    }
}

TEST(PixelLoops, StepOncePerRow)
{
    Picture picture(100, 300);
    RecordingProgress progress;
    imaging::AdjustRGB(progress, picture, 1, 2, 3);
    EXPECT_EQ(progress.gauge.max(), 299);
    EXPECT_EQ(progress.steps, 300);
    EXPECT_EQ(progress.gauge.percent(), 100);
    EXPECT_EQ(picture.width(), 100);
    EXPECT_EQ(picture.height(), 300);
}
