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
