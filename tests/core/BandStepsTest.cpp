// Tests of the band steps of the fan curve.
#include "FanCurve.h"

#include <gtest/gtest.h>

namespace {
FanCurve DefaultCurve()
{
    FanCurve curve;
    curve.LoadDefault();
    return curve;
}
} // namespace

TEST(BandSteps, TopBandMovesItsPointAndReinterpolatesFromTheBottomBand)
{
    FanCurve curve = DefaultCurve();
    curve.PlaceTopBand(CurveIndexOfTemperature(40), 90, true);
    EXPECT_EQ(curve.topBandIndex, 161);
    EXPECT_EQ(curve.pointDefined[201], 0);
    EXPECT_EQ(curve.pointFan[201], 0);
    EXPECT_EQ(curve.pointDefined[161], 1);
    for (int i = 101; i <= 161; ++i)
        EXPECT_EQ(curve.curveFan[i], 30 + (i - 101)) << i; // slope 1 from 30 % to 90 %
    for (int i = 162; i < 256; ++i)
        EXPECT_EQ(curve.curveFan[i], 90) << i;
    EXPECT_EQ(curve.curveX[100], 100); // every rebuild puts the abscissas back
    EXPECT_EQ(curve.curveFan[99], 0);
}

TEST(BandSteps, TopBandBelowEveryPointButZeroInterpolatesFromZero)
{
    FanCurve curve; // nothing defined at all
    curve.PlaceTopBand(CurveIndexOfTemperature(20), 80, true);
    EXPECT_EQ(curve.pointDefined[0], 1);
    EXPECT_EQ(curve.curveFan[0], 0);
    EXPECT_EQ(curve.curveFan[81], 80);
    EXPECT_EQ(curve.curveFan[40], RoundHalfAway((40 - 81) * (-80.0 / -81.0) + 80));
    EXPECT_EQ(curve.curveFan[255], 80);
}

TEST(BandSteps, TopBandWithNoFanSpeedFlattensToZero)
{
    FanCurve curve = DefaultCurve();
    curve.PlaceTopBand(201, 0, true); // "N/A" reads as 0
    EXPECT_EQ(curve.curveFan[201], 0);
    for (int i = 202; i < 256; ++i)
        EXPECT_EQ(curve.curveFan[i], 0) << i;
    EXPECT_EQ(curve.curveFan[151], 15); // falls from 30 % at 101 to 0 at 201
}

TEST(BandSteps, BottomBandWithNothingAboveFallsToZeroAt255)
{
    FanCurve curve;
    curve.PlaceBottomBand(CurveIndexOfTemperature(25), 30, true);
    EXPECT_EQ(curve.bottomBandIndex, 101);
    EXPECT_EQ(curve.pointDefined[255], 1);
    EXPECT_EQ(curve.curveFan[255], 0);
    EXPECT_EQ(curve.curveFan[101], 30);
    EXPECT_EQ(curve.curveFan[178], RoundHalfAway((178 - 101) * (-30.0 / 154.0) + 30));
    // Zero below the band, except the entry just before it.
    EXPECT_EQ(curve.curveFan[99], 0);
    EXPECT_EQ(curve.curveFan[100], 30);
    EXPECT_EQ(curve.curveFan[1], 0);
}

TEST(BandSteps, BottomBandMovesUnderTheTopBand)
{
    FanCurve curve = DefaultCurve();
    curve.PlaceBottomBand(CurveIndexOfTemperature(30), 40, true);
    EXPECT_EQ(curve.pointDefined[101], 0);
    EXPECT_EQ(curve.bottomBandIndex, 121);
    EXPECT_EQ(curve.curveFan[121], 40);
    EXPECT_EQ(curve.curveFan[161], 65); // 40 + 40 x 50/80
    EXPECT_EQ(curve.curveFan[201], 90);
    EXPECT_EQ(curve.curveFan[120], 40);
    EXPECT_EQ(curve.curveFan[119], 0);
}

TEST(BandSteps, FanOnlyChangesLeaveTheBandPointsWhereTheyAre)
{
    FanCurve curve = DefaultCurve();
    curve.PlaceTopBand(201, 70, false);
    EXPECT_EQ(curve.topBandIndex, 201);
    EXPECT_EQ(curve.pointDefined[201], 1);
    EXPECT_EQ(curve.pointFan[201], 70);
    EXPECT_EQ(curve.curveFan[255], 70);
    curve.PlaceBottomBand(101, 50, false);
    EXPECT_EQ(curve.bottomBandIndex, 101);
    EXPECT_EQ(curve.curveFan[151], 60); // 50 % to 70 % over 100 entries
    EXPECT_EQ(curve.curveFan[100], 50);
    EXPECT_EQ(curve.DefinedPointCount(), 4);
}

TEST(BandSteps, ShutOffStepEntries)
{
    EXPECT_EQ(ShutOffStepEntries(InputKind::Temperature, 10, 25).shutOff, 41);
    EXPECT_EQ(ShutOffStepEntries(InputKind::Temperature, 10, 25).bottom, 101);
    EXPECT_EQ(ShutOffStepEntries(InputKind::Temperature, kAlwaysOnShutOff, 25).shutOff, -159);
    EXPECT_EQ(ShutOffStepEntries(InputKind::Voltage, kAlwaysOnShutOff, 5).shutOff, -1020);
    EXPECT_EQ(ShutOffStepEntries(InputKind::Voltage, 3, 5).shutOff, 76); // 76.5 truncated
    EXPECT_EQ(ShutOffStepEntries(InputKind::Voltage, 3, 5).bottom, 128); // 127.5 rounded away
}

TEST(MultipointSteps, AddedPointsJoinTheirNeighbours)
{
    FanCurve curve;
    curve.AddPoint(100, 50);
    EXPECT_EQ(curve.curveFan[50], 25); // from entry 0, defined or not
    EXPECT_EQ(curve.curveFan[255], 0); // towards (256, 0) past the far end
    curve.AddPoint(200, 90);
    EXPECT_EQ(curve.curveFan[150], 70); // between the two points
    EXPECT_EQ(curve.curveFan[100], 50); // a defined point never moves
    EXPECT_EQ(curve.curveFan[255], 2);  // 90 - 55 x 90/56
    curve.AddPoint(100, 20);            // the same entry again: its value is replaced
    EXPECT_EQ(curve.DefinedPointCount(), 2);
    EXPECT_EQ(curve.curveFan[150], 55);
    curve.AddPoint(0, 10); // at the first entry: nothing below to join
    EXPECT_EQ(curve.curveFan[0], 10);
    EXPECT_EQ(curve.curveFan[50], 15);
    curve.AddPoint(255, 100); // at the last entry
    EXPECT_EQ(curve.curveFan[255], 100);
    EXPECT_EQ(curve.curveFan[228], 95);
    curve.AddPoint(300, 100); // off the curve: ignored
    EXPECT_EQ(curve.DefinedPointCount(), 4);
}

// After a change of form the old band points stay; a new top band below the old bottom point
// must not leave a 0 % notch where that point was, nor a new bottom band above an old top point.
TEST(BandSteps, OldBandPointsOutsideTheNewBandsLeaveNoNotch)
{
    FanCurve curve = DefaultCurve(); // bottom point 101, top point 201
    curve.PlaceTopBand(52, 72, true);
    curve.PlaceBottomBand(26, 31, true);
    for (int i = 53; i < 256; ++i)
        ASSERT_EQ(curve.curveFan[i], 72) << i;
    EXPECT_EQ(curve.pointDefined[101], 0);
    EXPECT_EQ(curve.curveFan[25], 31);

    FanCurve high = DefaultCurve();
    high.PlaceBottomBand(221, 40, true); // above the old top point at 201
    high.PlaceTopBand(241, 80, true);
    for (int i = 1; i < 220; ++i)
        ASSERT_EQ(high.curveFan[i], 0) << i;
    EXPECT_EQ(high.curveFan[220], 40);
}
