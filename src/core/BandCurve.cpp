// The band fields made into curve entries and a whole band curve.
#include "BandCurve.h"

#include "EntryRules.h"

int BandIndex(const QString &bandText, InputKind kind)
{
    const int value = ReadNumber(bandText);
    return kind == InputKind::Voltage ? CurveIndexOfVoltage(value) : CurveIndexOfTemperature(value);
}

void RebuildBandCurve(FanCurve &curve, const ControlProfile &p)
{
    curve.curveFan.fill(0);
    curve.pointFan.fill(0);
    curve.pointDefined.fill(0);
    curve.PlaceTopBand(BandIndex(p.topBand, p.Kind()), ReadNumber(p.fanSpeedTopBand), true);
    // Without a bottom fan speed there is no bottom point to place.
    if (p.fanSpeedBottomBand != kNotUsed && !p.fanSpeedBottomBand.isEmpty())
        curve.PlaceBottomBand(BandIndex(p.bottomBand, p.Kind()), ReadNumber(p.fanSpeedBottomBand), true);
}
