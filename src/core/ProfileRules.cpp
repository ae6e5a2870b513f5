#include "ProfileRules.h"

#include "EntryRules.h"

#include <algorithm>

namespace {
const QString kNotUsed = QStringLiteral("N/A");
const QString kAlwaysOn = QStringLiteral("Always On");

Refusal NotInRange()
{
    return {QStringLiteral("Invalid parameter!"), QStringLiteral("Value not withing range")};
}

// Applies ParseBandNumber to a field that may also read "N/A"; false when the text is refused.
bool CheckBand(QString &field, int limit, int &value)
{
    if (field == kNotUsed) {
        value = NotSetValue;
        return true;
    }
    const BandNumber parsed = ParseBandNumber(limit, field);
    if (parsed.fieldText)
        field = *parsed.fieldText;
    value = parsed.value;
    return parsed.value != NotSetValue;
}
} // namespace

int BandIndex(const QString &bandText, bool voltage)
{
    const int value = ReadNumber(bandText);
    return voltage ? CurveIndexOfVoltage(value) : CurveIndexOfTemperature(value);
}

void RebuildBandCurve(FanCurve &curve, const ControlProfile &p)
{
    curve.curveFan.fill(0);
    curve.pointFan.fill(0);
    curve.pointDefined.fill(0);
    curve.PlaceTopBand(BandIndex(p.topBand, p.Voltage()), ReadNumber(p.fanSpeedTopBand), true);
    if (p.fanSpeedBottomBand != kNotUsed && !p.fanSpeedBottomBand.isEmpty())
        curve.PlaceBottomBand(BandIndex(p.bottomBand, p.Voltage()), ReadNumber(p.fanSpeedBottomBand), true);
}

std::optional<Refusal> ApplyEntryRules(ControlProfile &p)
{
    const bool voltage = p.Voltage();
    const QString form = voltage ? QStringLiteral("Voltage") : QStringLiteral("Temperature");

    const int software = std::min(ReadNumber(p.softwareNumber), 99999);
    p.softwareNumber = QStringLiteral("%1").arg(std::max(software, 0), 5, 10, QLatin1Char('0'));
    if (ReadNumber(p.versionNumber) > 255)
        p.versionNumber = QStringLiteral("255");

    int fan = 0;
    if (!CheckBand(p.fanSpeedTopBand, 100, fan) || !CheckBand(p.fanSpeedBottomBand, 100, fan))
        return NotInRange();

    int top = NotSetValue;
    if (!CheckBand(p.topBand, voltage ? 10 : 63, top))
        return NotInRange();
    const int bottomRead = ReadNumber(p.bottomBand);
    if (top != NotSetValue) {
        if (top == 0)
            return Refusal{QStringLiteral("Warning"), QStringLiteral("Temperature Top Band value must be greater than 0")};
        if (top <= bottomRead)
            return Refusal{QStringLiteral("Warning"),
                           QStringLiteral("Please choose a value greater than %1 Bottom Band").arg(form)};
    }

    if (p.topBand == kNotUsed && p.bottomBand != kNotUsed)
        p.bottomBand.clear(); // a bottom band needs a top band above it
    int bottom = NotSetValue;
    if (p.bottomBand != kNotUsed && !p.bottomBand.isEmpty()) {
        if (!CheckBand(p.bottomBand, ReadNumber(p.topBand) - 1, bottom))
            return NotInRange();
        if (bottom == 0 && p.lowShutOff != kAlwaysOn && p.lowShutOff != kNotUsed)
            return Refusal{QStringLiteral("WARNING"),
                           voltage ? QStringLiteral("For Temperature Bottom Band value to be 0, Voltage Shut Off value "
                                                    "must be 'Always On' or 'N/A'")
                                   : QStringLiteral("For Temperature Bottom Band value to be 0, Low Temperature Shut Off "
                                                    "value must be 'Always On' or 'N/A'")};
    }

    if (p.lowShutOff != kNotUsed && p.lowShutOff != kAlwaysOn) {
        int shut = 0;
        if (!CheckBand(p.lowShutOff, ReadNumber(p.bottomBand) - 1, shut))
            return NotInRange();
    }
    if (p.lowShutOff != kNotUsed && (p.fanSpeedBottomBand == kNotUsed || p.bottomBand == kNotUsed))
        p.lowShutOff = kNotUsed;

    if (p.highAlarm != kNotUsed) {
        int high = 0;
        if (!CheckBand(p.highAlarm, voltage ? 10 : 115, high))
            return NotInRange();
        if (high == 0)
            p.highAlarm = QStringLiteral("1");
    }
    if (p.lowAlarm != kNotUsed) {
        const int low = ReadNumber(p.lowAlarm);
        if (low <= -35)
            p.lowAlarm = QStringLiteral("-35");
        else if (low >= 55)
            p.lowAlarm = QStringLiteral("55");
    }

    if (p.tachoDependentAlarm == QStringLiteral("Disabled"))
        p.speedCap = kNotUsed; // only selectable while the tacho alarm is on
    return std::nullopt;
}

std::optional<Refusal> CheckSaveable(const ControlProfile &p)
{
    if (p.multipoint)
        return std::nullopt;
    for (const QString *band : {&p.fanSpeedTopBand, &p.fanSpeedBottomBand, &p.topBand, &p.bottomBand}) {
        if (*band == kNotUsed)
            return Refusal{QStringLiteral("Parameters Not Set."), QStringLiteral("Set 'N/A' parameters.")};
    }
    return std::nullopt;
}
