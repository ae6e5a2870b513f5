// Tests of the scale map and the tick arithmetic.
#include "AxisTicks.h"
#include "ScaleMap.h"

#include <gtest/gtest.h>

TEST(ScaleMap, VerticalAxisMapsBottomToMinimumAndTopToMaximum)
{
    const CScaleMap map(300, 100, 0, 100, false); // bottom pixel 300, top 100
    EXPECT_EQ(map.invTransform(300), 0);
    EXPECT_EQ(map.invTransform(100), 100);
    EXPECT_LT(map.invTransform(301), 0); // no clamping below the axis
    EXPECT_EQ(map.transform(0), 300);
    EXPECT_EQ(map.transform(100), 100);
    EXPECT_EQ(map.transform(50), 200);
    EXPECT_EQ(map.transform(30.3), 300 - 60); // floor(200 x 0.303) = 60
}

TEST(ScaleMap, HorizontalAndInvertedAxes)
{
    const CScaleMap plain(50, 305, 0, 255, true);
    for (int entry : {0, 1, 41, 101, 201, 255}) {
        EXPECT_EQ(plain.transform(entry), 50 + entry) << entry;
        EXPECT_EQ(plain.invTransform(50 + entry), entry) << entry;
    }
    const CScaleMap inverted(50, 305, 0, 255, true, true);
    EXPECT_EQ(inverted.transform(0), 305);
    EXPECT_EQ(inverted.transform(255), 50);
    EXPECT_EQ(inverted.invTransform(305), 0);
    const CScaleMap invertedVertical(300, 100, 0, 100, false, true);
    EXPECT_EQ(invertedVertical.transform(100), 300);
    EXPECT_EQ(invertedVertical.invTransform(100), 0);
}

TEST(ScaleMap, DegenerateRangesAndSpansDoNotDivideByZero)
{
    const CScaleMap single(10, 110, 5, 5, true);
    EXPECT_EQ(single.invTransform(40), 5);
    EXPECT_EQ(single.transform(5), 60); // the middle of the span
    const CScaleMap empty(10, 10, 0, 100, true);
    EXPECT_EQ(empty.invTransform(10), 0);
    EXPECT_EQ(empty.transform(50), 10);
    const CScaleMap huge(0, 100, 0, 1, true);
    EXPECT_GT(huge.transform(1e300), 100); // far off, but still a number
}

TEST(AxisTicks, StepFollowsRangeAndPixels)
{
    struct Case
    {
        int start, end;
        bool horizontal;
        double min, max;
        double increment;
        int decimals;
    };
    const Case cases[] = {
        {200, 0, false, 0, 100, 10, 0}, // 10 ticks of 20 px
        {0, 600, true, 0, 63.5, 5, 0},  // 20 steps, span 3.175
        {0, 600, true, 0, 10, 0.5, 1},  // span 0.5
        {0, 600, true, 0, 255, 20, 0},  // span 12.75
        {0, 300, true, 0, 1, 0.1, 1},   // span 0.1, e = -1
        {0, 300, true, 0, 0.7, 0.1, 1}, // span 0.07: 10 x 0.01 loses a decimal
        {0, 90, true, -50, 50, 50, 0},  // 3 steps of 33.3
    };
    for (const Case &c : cases) {
        const TickStep step = ComputeTickStep(c.start, c.end, c.horizontal, c.min, c.max, {});
        EXPECT_DOUBLE_EQ(step.increment, c.increment) << c.min << ".." << c.max << " on " << c.end - c.start;
        EXPECT_EQ(step.decimals, c.decimals) << c.min << ".." << c.max;
    }
}

TEST(AxisTicks, TooNarrowOrSingleValueKeepsOrZeroesTheStep)
{
    const TickStep previous{2, 1};
    const TickStep narrow = ComputeTickStep(0, 29, true, 0, 100, previous);
    EXPECT_DOUBLE_EQ(narrow.increment, 2);
    EXPECT_EQ(narrow.decimals, 1);
    EXPECT_DOUBLE_EQ(ComputeTickStep(0, 0, false, 0, 100, previous).increment, 2);
    EXPECT_DOUBLE_EQ(ComputeTickStep(0, 300, true, 7, 7, previous).increment, 0);
}

TEST(AxisTicks, FirstTickAndLabels)
{
    EXPECT_DOUBLE_EQ(ComputeFirstTick(0, 10), 0);
    EXPECT_DOUBLE_EQ(ComputeFirstTick(3, 0), 3);
    EXPECT_DOUBLE_EQ(ComputeFirstTick(12.3, 5), 15);
    EXPECT_DOUBLE_EQ(ComputeFirstTick(-12.3, 5), -10);
    EXPECT_DOUBLE_EQ(ComputeFirstTick(20, 5), 20);
    EXPECT_EQ(TickLabelText(10, 0), QStringLiteral("10"));
    EXPECT_EQ(TickLabelText(100, 0), QStringLiteral("100"));
    EXPECT_EQ(TickLabelText(0.5, 1), QStringLiteral("0.5"));
    EXPECT_EQ(TickLabelText(2, 2), QStringLiteral("2.00"));
}
