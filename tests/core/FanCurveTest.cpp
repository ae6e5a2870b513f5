// Tests of the fan curve's template and curve indices.
#include "FanCurve.h"

#include <gtest/gtest.h>

TEST(CurveIndex, TemperaturesAndVoltagesMapToTheirEntries)
{
    EXPECT_EQ(CurveIndexOfTemperature(25), 101);
    EXPECT_EQ(CurveIndexOfTemperature(50), 201);
    EXPECT_EQ(CurveIndexOfTemperature(63), 253);
    EXPECT_EQ(CurveIndexOfTemperature(0), 1);
    EXPECT_EQ(CurveIndexOfTemperature(10), 41);
    EXPECT_EQ(CurveIndexOfVoltage(10), 255); // single precision keeps 63.5 exact
    EXPECT_EQ(CurveIndexOfVoltage(1), 26);   // 25.4 + 1
    EXPECT_EQ(CurveIndexOfVoltage(5), 128);  // 127 + 1, 4 x 31.75 exactly
}

TEST(CurveIndex, HalvesRoundAwayFromZero)
{
    EXPECT_EQ(RoundHalfAway(2.5), 3);
    EXPECT_EQ(RoundHalfAway(-2.5), -3);
    EXPECT_EQ(RoundHalfAway(2.4999), 2);
    EXPECT_EQ(RoundHalfAwayF(0.5f), 1);
    EXPECT_EQ(RoundHalfAwayF(-0.5f), -1);
}

TEST(FanCurve, DefaultTemplateCurve)
{
    FanCurve curve;
    curve.LoadDefault();

    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(curve.curveFan[i], 0) << i;
        EXPECT_EQ(curve.curveX[i], i) << i;
    }
    // The step up to 30 % is drawn on 101.
    EXPECT_EQ(curve.curveX[100], 101);
    EXPECT_EQ(curve.curveFan[100], 30);
    EXPECT_EQ(curve.curveFan[101], 30);
    EXPECT_EQ(curve.curveFan[171], 72);
    EXPECT_EQ(curve.curveFan[200], 89);
    for (int i = 201; i < FanCurve::kPoints; ++i)
        EXPECT_EQ(curve.curveFan[i], 90) << i;
    for (int i = 101; i < 201; ++i)
        EXPECT_LE(curve.curveFan[i], curve.curveFan[i + 1]) << i;

    EXPECT_EQ(curve.bottomBandIndex, 101);
    EXPECT_EQ(curve.topBandIndex, 201);
    for (int i = 0; i < FanCurve::kPoints; ++i) {
        const bool anchor = i == 0 || i == 101 || i == 201 || i == 255;
        EXPECT_EQ(curve.pointDefined[i], anchor ? 1 : 0) << i;
    }
    EXPECT_EQ(curve.pointFan[0], 0);
    EXPECT_EQ(curve.pointFan[101], 30);
    EXPECT_EQ(curve.pointFan[201], 90);
    EXPECT_EQ(curve.pointFan[255], 90);
}

TEST(FanCurve, LoadingTheDefaultOverAnEditedCurveLeavesNoTrace)
{
    FanCurve curve;
    curve.curveFan.fill(55);
    curve.pointDefined.fill(1);
    curve.curveX[7] = 3;
    curve.LoadDefault();
    FanCurve fresh;
    fresh.LoadDefault();
    EXPECT_EQ(curve.curveFan, fresh.curveFan);
    EXPECT_EQ(curve.curveX, fresh.curveX);
    EXPECT_EQ(curve.pointDefined, fresh.pointDefined);
    EXPECT_EQ(curve.pointFan, fresh.pointFan);
}
