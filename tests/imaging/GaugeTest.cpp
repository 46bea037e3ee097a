#include "imaging/Gauge.h"

#include "data/Error.h"

#include <gtest/gtest.h>

using imaging::Gauge;

TEST(Gauge, PercentDoneDropsTheFraction)
{
    struct Case
    {
        int min, max, steps, percent;
    };
    const Case cases[] = {
        {0, 639, 320, 50}, {0, 639, 640, 100}, {0, 639, 5000, 100},
        {0, 0, 10, 0},     {0, 2, 1, 50},      {0, 3, 1, 33},
        {10, 13, 2, 66},   {0, 100, 0, 0},     {0, 4464, 4464, 100},
    };
    for (const Case& c : cases) {
        Gauge gauge;
        gauge.setMax(c.max);
        gauge.setMin(c.min);
        for (int i = 0; i < c.steps; ++i)
            gauge.step();
        EXPECT_EQ(gauge.percent(), c.percent) << c.min << ".." << c.max << " after " << c.steps;
        EXPECT_LE(gauge.position(), c.max);
    }
}

TEST(Gauge, RefusesBoundsThatCross)
{
    Gauge gauge; // 0 .. 100
    try {
        gauge.setMax(-1);
        FAIL();
    } catch (const data::Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Value must be between 1 and 2147483647"));
    }
    try {
        gauge.setMin(101);
        FAIL();
    } catch (const data::Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Value must be between -2147483647 and 99"));
    }
    EXPECT_EQ(gauge.min(), 0);
    EXPECT_EQ(gauge.max(), 100);
}

TEST(Gauge, NewBoundsPullThePositionIn)
{
    Gauge gauge;
    gauge.setPosition(80);
    gauge.setMax(50);
    EXPECT_EQ(gauge.position(), 50);
    gauge.setMin(60 - 10);
    EXPECT_EQ(gauge.position(), 50);
    EXPECT_EQ(gauge.percent(), 0);
}
