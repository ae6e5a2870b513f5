// The fan curve's steps: template, band points, interpolation and hand-placed points.
#include "FanCurve.h"

#include <cmath>

int RoundHalfAway(double value)
{
    return static_cast<int>(std::lround(value));
}

int RoundHalfAwayF(float value)
{
    return static_cast<int>(std::lroundf(value));
}

int CurveIndexOfTemperature(double celsius)
{
    return RoundHalfAway(4.0 * celsius + 1.0);
}

int CurveIndexOfVoltage(double volts)
{
    const float scaled = static_cast<float>(6.35 * volts);
    return RoundHalfAwayF(4.0f * scaled + 1.0f);
}

void FanCurve::Clear()
{
    for (int i = 0; i < kPoints; ++i) {
        curveX[i] = i;
        curveFan[i] = 0;
        pointFan[i] = 0;
        pointDefined[i] = 0;
    }
}

void FanCurve::LoadDefault()
{
    Clear();
    pointDefined[0] = 1;

    // Drawn so: the step to 30 % sits on 101, which makes entry 100 a vertical edge.
    curveX[100] = 101;
    curveFan[100] = 30;

    constexpr int bottom = 101;
    constexpr int top = 201;
    curveFan[bottom] = 30;
    pointFan[bottom] = 30;
    pointDefined[bottom] = 1;
    bottomBandIndex = bottom;

    curveFan[top] = 90;
    pointFan[top] = 90;
    pointDefined[top] = 1;
    topBandIndex = top;

    constexpr double slope = (90.0 - 30.0) / (top - bottom);
    for (int i = bottom; i < top; ++i)
        curveFan[i] = RoundHalfAway((i - top) * slope + 90.0);

    for (int i = top + 1; i < kPoints; ++i)
        curveFan[i] = 90;
    curveX[255] = 255;
    pointFan[255] = 90;
    pointDefined[255] = 1;
}

void FanCurve::InterpolateSegment(int a, int b)
{
    if (a == b) {
        curveX[a] = a;
        return;
    }
    const double slope = (curveFan[a] - curveFan[b]) / (a - b);
    const int low = a < b ? a : b;
    const int high = a < b ? b : a;
    const double anchor = curveFan[b];
    for (int x = low; x <= high; ++x) {
        curveFan[x] = RoundHalfAway((x - b) * slope + anchor);
        curveX[x] = x;
    }
}

bool FanCurve::SetBandPoint(int k, int p, bool bandMoved, std::int32_t &bandIndex, int &removed)
{
    removed = 0;
    if (k < 1 || k >= kPoints)
        return false;
    curveX[k] = k;
    if (bandMoved && bandIndex != 0) {
        removed = bandIndex;
        curveFan[bandIndex] = 0;
        pointFan[bandIndex] = 0;
        pointDefined[bandIndex] = 0;
    }
    curveFan[k] = p;
    pointFan[k] = p;
    if (bandMoved) {
        pointDefined[k] = 1;
        bandIndex = k;
    }
    for (int i = 0; i < kPoints - 1; ++i)
        curveX[i] = i;
    return true;
}

void FanCurve::MakeEndPoint(int index)
{
    curveX[index] = index;
    curveFan[index] = 0;
    pointFan[index] = 0;
    pointDefined[index] = 1;
}

void FanCurve::PlaceTopBand(int k, int p, bool bandMoved)
{
    int removed = 0;
    if (!SetBandPoint(k, p, bandMoved, topBandIndex, removed))
        return;
    int j = k - 1;
    while (j >= 0 && pointDefined[j] != 1)
        --j;
    if (j < 0)
        MakeEndPoint(j = 0);
    InterpolateSegment(j, k);
    for (int i = k + 1; i < kPoints; ++i)
        curveFan[i] = p;
    // An old top point below everything rewritten (left from the other form) keeps the curve
    // around it instead of a 0 % notch.
    if (removed > 0 && removed < j)
        curveFan[removed] = curveFan[removed + 1];
}

void FanCurve::PlaceBottomBand(int k, int p, bool bandMoved)
{
    int removed = 0;
    if (!SetBandPoint(k, p, bandMoved, bottomBandIndex, removed))
        return;
    int n = k + 1;
    while (n < kPoints && pointDefined[n] != 1)
        ++n;
    if (n >= kPoints)
        MakeEndPoint(n = kPoints - 1);
    InterpolateSegment(n, k);
    for (int i = 1; i < k; ++i)
        curveFan[i] = 0;
    curveFan[k - 1] = p; // the fan holds the bottom speed one entry below the band
    // An old bottom point above the top band (left from the other form) lies on the flat part
    // above it: no 0 % notch there.
    if (removed > n)
        curveFan[removed] = curveFan[removed - 1];
}

void FanCurve::AddPoint(int i, int q)
{
    if (i < 0 || i >= kPoints)
        return;
    pointDefined[i] = 1;
    pointFan[i] = q;

    int j = i - 1;
    while (j >= 1 && pointDefined[j] == 0)
        --j;
    if (j < 1)
        j = 0; // entry 0 anchors whether or not it is defined
    if (j < i) {
        const double slope = (curveFan[j] - q) / (j - i);
        for (int x = i; x > j; --x) {
            curveFan[x] = RoundHalfAway((x - i) * slope + q);
            curveX[x] = x;
        }
    }

    int n = i + 1;
    while (n < kPoints && pointDefined[n] == 0)
        ++n;
    const double anchorX = n < kPoints ? n : kPoints;
    const double anchorFan = n < kPoints ? curveFan[n] : curveFan[kPoints - 1];
    const double slope = (anchorFan - q) / (anchorX - i);
    for (int x = i; x < n && x < kPoints; ++x) {
        curveFan[x] = RoundHalfAway((x - i) * slope + q);
        curveX[x] = x;
    }
}

int FanCurve::DefinedPointCount() const
{
    int count = 0;
    for (int defined : pointDefined)
        count += defined != 0 ? 1 : 0;
    return count;
}

void FanCurve::DefineEndsIfNothingDefined()
{
    if (DefinedPointCount() != 0)
        return;
    for (int end : {0, kPoints - 1}) {
        pointFan[end] = 0;
        pointDefined[end] = 1;
    }
}

ShutOffEntries ShutOffStepEntries(InputKind kind, int shutOff, int bottomBand)
{
    if (kind == InputKind::Voltage)
        return {static_cast<int>(25.5 * shutOff), RoundHalfAwayF(25.5f * static_cast<float>(bottomBand))};
    return {4 * shutOff + 1, 4 * bottomBand + 1};
}
