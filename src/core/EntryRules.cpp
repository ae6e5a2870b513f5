// The field rules of the profile, their checks and their messages.
#include "EntryRules.h"

#include <algorithm>
#include <limits>

int ReadNumber(const QString &text)
{
    int i = 0;
    const int size = static_cast<int>(text.size());
    while (i < size && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < size && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    constexpr long long kCap = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < size && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > kCap)
            value = kCap;
    }
    if (negative)
        return static_cast<int>(-value < std::numeric_limits<int>::min() ? std::numeric_limits<int>::min() : -value);
    return static_cast<int>(value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : value);
}

BandNumber ParseBandNumber(int limit, const QString &text)
{
    const bool digitsOnly =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    if (digitsOnly) {
        const int n = ReadNumber(text);
        if (n > limit)
            return {limit, QString::number(limit)};
        return {n, std::nullopt};
    }
    if (text == kNotUsed)
        return {NotSetValue, std::nullopt};
    return {NotSetValue, QString()};
}

namespace Refusals {
Refusal ValueNotInRange()
{
    return {QStringLiteral("Invalid parameter!"), QStringLiteral("Value not withing range")};
}

Refusal TopBandZero()
{
    // The same words in both forms.
    return {QStringLiteral("Warning"), QStringLiteral("Temperature Top Band value must be greater than 0")};
}

Refusal TopBandNotAboveBottom(InputKind kind)
{
    return {QStringLiteral("Warning"),
            QStringLiteral("Please choose a value greater than %1 Bottom Band").arg(InputKindName(kind))};
}

Refusal BottomBandNotBelowTop(InputKind kind)
{
    return {QStringLiteral("Warning"),
            QStringLiteral("Please choose a value smaller than %1 Top Band").arg(InputKindName(kind))};
}

Refusal BottomBandZeroWithShutOff(InputKind kind)
{
    return {QStringLiteral("WARNING"),
            QStringLiteral("For Temperature Bottom Band value to be 0, %1 value must be 'Always On' or 'N/A'")
                .arg(kind == InputKind::Voltage ? QStringLiteral("Voltage Shut Off")
                                                : QStringLiteral("Low Temperature Shut Off"))};
}

const QString kNotSetCaption = QStringLiteral("Parameters Not Set.");

Refusal SaveFieldsNotSet()
{
    return {kNotSetCaption, QStringLiteral("Set 'N/A' parameters.")};
}

Refusal DownloadFieldsNotSet()
{
    return {kNotSetCaption, QStringLiteral("Set empty field parameters or switch to Multipoint mode.")};
}

Refusal NotConnected()
{
    return {QStringLiteral("App not connected to Com port."), QStringLiteral("Connect to Com Port")};
}
} // namespace Refusals

int TopBandLimit(InputKind kind)
{
    return kind == InputKind::Voltage ? 10 : 63;
}

int HighAlarmLimit(InputKind kind)
{
    return kind == InputKind::Voltage ? 10 : 115;
}

std::optional<QString> SoftwareNumberTyped(const QString &text)
{
    if (ReadNumber(text) > kSoftwareNumberLimit)
        return QString::number(kSoftwareNumberLimit);
    return std::nullopt;
}

QString SoftwareNumberLeft(const QString &text)
{
    const int n = std::min(ReadNumber(text), kSoftwareNumberLimit);
    return QStringLiteral("%1").arg(std::max(n, 0), 5, 10, QLatin1Char('0'));
}

std::optional<QString> VersionNumberTyped(const QString &text)
{
    // A byte in the image: a negative number would wrap round to 255.
    const int n = ReadNumber(text);
    if (n > kVersionNumberLimit)
        return QString::number(kVersionNumberLimit);
    if (n < 0)
        return QStringLiteral("0");
    return std::nullopt;
}

std::optional<QString> HighAlarmTyped(const QString &text, InputKind kind)
{
    const BandNumber parsed = ParseBandNumber(HighAlarmLimit(kind), text);
    if (parsed.value == 0)
        return QStringLiteral("1");
    return parsed.fieldText;
}

std::optional<QString> LowAlarmTyped(const QString &text)
{
    const int n = ReadNumber(text);
    if (n <= kLowAlarmMin)
        return QString::number(kLowAlarmMin);
    if (n >= kLowAlarmMax)
        return QString::number(kLowAlarmMax);
    return std::nullopt;
}

TopBandCheck CheckTopBand(const QString &top, const QString &bottom, InputKind kind)
{
    TopBandCheck check;
    const BandNumber parsed = ParseBandNumber(TopBandLimit(kind), top);
    check.value = parsed.value;
    check.fieldText = parsed.fieldText;
    if (parsed.value == NotSetValue) {
        check.refusal = Refusals::ValueNotInRange();
        return check;
    }
    check.defineCurveEnds = bottom == kNotUsed;
    if (parsed.value == 0)
        check.refusal = Refusals::TopBandZero();
    else if (parsed.value <= ReadNumber(bottom))
        check.refusal = Refusals::TopBandNotAboveBottom(kind);
    return check;
}

BottomBandCheck CheckBottomBand(const QString &bottom, const QString &top, const QString &shutOff, InputKind kind)
{
    BottomBandCheck check;
    if (top == kNotUsed) {
        check.fieldText = QString();
        return check;
    }
    check.outcome = BottomBandCheck::Refused;
    const int topValue = ReadNumber(top);
    if (ReadNumber(bottom) >= topValue) {
        check.refusal = Refusals::BottomBandNotBelowTop(kind);
        check.redrawShutOff = true;
        return check;
    }
    const BandNumber parsed = ParseBandNumber(topValue - 1, bottom);
    check.value = parsed.value;
    check.fieldText = parsed.fieldText;
    if (parsed.value == NotSetValue) {
        check.refusal = Refusals::ValueNotInRange();
        return check;
    }
    check.prepareCurve = true;
    if (parsed.value == 0 && shutOff != kAlwaysOn && shutOff != kNotUsed) {
        check.fieldText = QString();
        check.refusal = Refusals::BottomBandZeroWithShutOff(kind);
        check.redrawShutOff = true;
        return check;
    }
    check.outcome = BottomBandCheck::Accepted;
    return check;
}

ShutOffCheck CheckShutOff(const QString &shutOff, const QString &bottom, const QString &fanSpeedBottom)
{
    ShutOffCheck check;
    if (shutOff == kNotUsed)
        return check;
    int value = kAlwaysOnShutOff;
    if (shutOff != kAlwaysOn) {
        const BandNumber parsed = ParseBandNumber(ReadNumber(bottom) - 1, shutOff);
        check.fieldText = parsed.fieldText;
        if (parsed.value == NotSetValue) {
            check.refused = true;
            return check;
        }
        value = parsed.value;
    }
    if (fanSpeedBottom == kNotUsed || bottom == kNotUsed) {
        check.fieldText = kNotUsed;
        return check;
    }
    check.value = value;
    return check;
}

std::optional<Refusal> CheckSaveable(const ControlProfile &p)
{
    if (std::optional<FieldRefusal> refused = CheckSaveableFields(p))
        return refused->refusal;
    return std::nullopt;
}

std::optional<FieldRefusal> CheckSaveableFields(const ControlProfile &p)
{
    if (p.multipoint)
        return std::nullopt;
    const std::pair<QString, const QString *> bands[] = {{QStringLiteral("fanSpeedTopBand"), &p.fanSpeedTopBand},
                                                         {QStringLiteral("fanSpeedBottomBand"), &p.fanSpeedBottomBand},
                                                         {QStringLiteral("topBand"), &p.topBand},
                                                         {QStringLiteral("bottomBand"), &p.bottomBand}};
    for (const auto &[key, band] : bands) {
        if (*band == kNotUsed)
            return FieldRefusal{key, Refusals::SaveFieldsNotSet()};
        // An empty band would be written as 0 and open as a profile the user never entered.
        if (band->isEmpty())
            return FieldRefusal{key, Refusals::DownloadFieldsNotSet()};
    }
    return std::nullopt;
}

std::optional<Refusal> CheckDownloadable(const ControlProfile &p)
{
    if (p.multipoint)
        return std::nullopt;
    for (const QString *band : {&p.fanSpeedTopBand, &p.fanSpeedBottomBand, &p.topBand, &p.bottomBand}) {
        if (*band == kNotUsed || band->isEmpty() || *band == QStringLiteral("Error"))
            return Refusals::DownloadFieldsNotSet();
    }
    if (p.lowShutOff.isEmpty() || p.highAlarm.isEmpty())
        return Refusals::DownloadFieldsNotSet();
    return std::nullopt;
}

namespace {
// A number field that may also read "N/A"; false when its text is refused.
bool CheckNumberField(QString &field, int limit)
{
    if (field == kNotUsed)
        return true;
    const BandNumber parsed = ParseBandNumber(limit, field);
    if (parsed.fieldText)
        field = *parsed.fieldText;
    return parsed.value != NotSetValue;
}
} // namespace

std::optional<Refusal> ApplyEntryRules(ControlProfile &p)
{
    if (std::optional<FieldRefusal> refused = ApplyEntryRulesToFields(p))
        return refused->refusal;
    return std::nullopt;
}

std::optional<FieldRefusal> ApplyEntryRulesToFields(ControlProfile &p)
{
    const InputKind kind = p.Kind();
    p.softwareNumber = SoftwareNumberLeft(SoftwareNumberTyped(p.softwareNumber).value_or(p.softwareNumber));
    p.versionNumber = VersionNumberTyped(p.versionNumber).value_or(p.versionNumber);

    if (!CheckNumberField(p.fanSpeedTopBand, kFanSpeedLimit))
        return FieldRefusal{QStringLiteral("fanSpeedTopBand"), Refusals::ValueNotInRange()};
    if (!CheckNumberField(p.fanSpeedBottomBand, kFanSpeedLimit))
        return FieldRefusal{QStringLiteral("fanSpeedBottomBand"), Refusals::ValueNotInRange()};

    // A band left "N/A" was never entered; the window only checks what is typed.
    if (p.topBand != kNotUsed) {
        const TopBandCheck top = CheckTopBand(p.topBand, p.bottomBand, kind);
        p.topBand = top.fieldText.value_or(p.topBand);
        if (top.refusal)
            return FieldRefusal{QStringLiteral("topBand"), *top.refusal};
    }
    if (p.bottomBand != kNotUsed && !p.bottomBand.isEmpty()) {
        const BottomBandCheck bottom = CheckBottomBand(p.bottomBand, p.topBand, p.lowShutOff, kind);
        p.bottomBand = bottom.fieldText.value_or(p.bottomBand);
        if (bottom.refusal)
            return FieldRefusal{QStringLiteral("bottomBand"), *bottom.refusal};
    }

    const ShutOffCheck shutOff = CheckShutOff(p.lowShutOff, p.bottomBand, p.fanSpeedBottomBand);
    if (shutOff.refused)
        return FieldRefusal{QStringLiteral("lowShutOff"), Refusals::ValueNotInRange()};
    p.lowShutOff = shutOff.fieldText.value_or(p.lowShutOff);

    if (p.highAlarm != kNotUsed) {
        if (ParseBandNumber(HighAlarmLimit(kind), p.highAlarm).value == NotSetValue)
            return FieldRefusal{QStringLiteral("highAlarm"), Refusals::ValueNotInRange()};
        p.highAlarm = HighAlarmTyped(p.highAlarm, kind).value_or(p.highAlarm);
    }
    p.lowAlarm = LowAlarmTyped(p.lowAlarm).value_or(p.lowAlarm);

    if (p.tachoDependentAlarm == OptionLists::tachoDependentAlarm[1])
        p.speedCap = kNotUsed; // only selectable while the tacho alarm is on
    return std::nullopt;
}
