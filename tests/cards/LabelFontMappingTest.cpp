#include "cards/LabelFontMapping.h"

#include <gtest/gtest.h>

using cards::LabelFont;
using cards::LabelFontMapping;

namespace {

TEST(LabelFontMapping, HeightsAndPointSizesAt96PerInch)
{
    struct Case
    {
        qint32 height;
        int points;
    };
    for (const Case c : {Case {-13, 10}, Case {-11, 8}, Case {-12, 9}, Case {-16, 12},
                         Case {-24, 18}, Case {-64, 48}}) {
        EXPECT_EQ(LabelFontMapping::pointSize(c.height), c.points) << c.height;
        EXPECT_EQ(LabelFontMapping::height(c.points), c.height) << c.points;
    }
    // -15 is 11.25 points and -14 is 10.5: both round half away from zero.
    EXPECT_EQ(LabelFontMapping::pointSize(-15), 11);
    EXPECT_EQ(LabelFontMapping::pointSize(-14), 11);
}

TEST(LabelFontMapping, ColoursAreStoredAsBlueGreenRed)
{
    EXPECT_EQ(LabelFontMapping::toQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(LabelFontMapping::toQColor(0xF0CAA6), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(LabelFontMapping::fromQColor(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(LabelFontMapping::toQColor(qint32(0xFF000008)), QColor(0, 0, 0)); // window text
    EXPECT_EQ(LabelFontMapping::toQColor(qint32(0xFF000005)), QColor(255, 255, 255)); // window
}

TEST(LabelFontMapping, QtFontRoundTripKeepsFaceSizeStylesAndColour)
{
    LabelFont font;
    font.name = QStringLiteral("Liberation Serif");
    font.height = LabelFontMapping::height(14);
    font.style = LabelFont::Style::Bold | LabelFont::Style::StrikeOut;
    font.color = 0x008000;
    font.charset = 134;

    const QFont qt = LabelFontMapping::toQFont(font);
    EXPECT_EQ(qt.pointSize(), 14);
    EXPECT_TRUE(qt.bold());
    EXPECT_FALSE(qt.italic());
    EXPECT_TRUE(qt.strikeOut());

    LabelFont base;
    base.charset = 134;
    EXPECT_EQ(LabelFontMapping::fromQFont(qt, LabelFontMapping::toQColor(font.color), base), font);
}

} // namespace
