// The fan curve of 256 entries and the steps that change it.
#pragma once

#include "InputKind.h"

#include <array>
#include <cstdint>

// The fan curve: 256 entries, entry i standing for (i - 1)/4 degC or the matching voltage.
struct FanCurve
{
    static constexpr int kPoints = 256;

    std::array<double, kPoints> curveX{};
    std::array<double, kPoints> curveFan{};
    std::array<std::int32_t, kPoints> pointFan{};
    std::array<std::int32_t, kPoints> pointDefined{};
    std::int32_t topBandIndex = 0;
    std::int32_t bottomBandIndex = 0;

    FanCurve() { Clear(); }
    bool operator==(const FanCurve &) const = default;

    // curveX[i] = i, everything else 0; band indices untouched.
    void Clear();
    // The default template's curve: 0 % to 99, 30 % at 101 rising to 90 % at 201, flat to 255.
    void LoadDefault();

    // The rounded straight line between entries a and b, both included.
    void InterpolateSegment(int a, int b);
    // Band point at entry k with fan speed p. bandMoved: the band value itself changed, so the old
    // band point goes and k becomes the new one; otherwise only the fan speed at k changed.
    void PlaceTopBand(int k, int p, bool bandMoved);
    void PlaceBottomBand(int k, int p, bool bandMoved);
    int DefinedPointCount() const;
    // Entries 0 and 255 become defined 0 % points when nothing is defined yet, so a first band has
    // something to join.
    void DefineEndsIfNothingDefined();

private:
    // The band point itself; false for an entry off the curve.
    // removed: the old band point taken away, 0 for none.
    bool SetBandPoint(int k, int p, bool bandMoved, std::int32_t &bandIndex, int &removed);
    // A defined 0 % point at the curve's start or end, when a band finds none beyond it.
    void MakeEndPoint(int index);

public:
    // A point placed by hand at entry i with q percent; the straight lines to the neighbouring
    // defined points (or entry 0 below, the far end above) are drawn again.
    void AddPoint(int i, int q);
};

// Entries of the dashed shut-off step: where the fan stops and where the bottom band starts.
struct ShutOffEntries
{
    int shutOff;
    int bottom;
};
inline constexpr int kAlwaysOnShutOff = -40;
ShutOffEntries ShutOffStepEntries(InputKind kind, int shutOff, int bottomBand);

// Whole-number rounding with halves away from zero, as the controller's tables expect.
int RoundHalfAway(double value);
int RoundHalfAwayF(float value);

int CurveIndexOfTemperature(double celsius);
// Computed in single precision after the scale, so 10 V lands on 255.
int CurveIndexOfVoltage(double volts);
