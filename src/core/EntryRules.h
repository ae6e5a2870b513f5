// The field rules of the profile and their messages: the window's handlers and orvexctl both use them.
#pragma once

#include "ControlProfile.h"

#include <QString>

#include <optional>

// Returned for a band text that is not a number.
inline constexpr int NotSetValue = 9999;

// The leading decimal number of a text, with an optional sign; 0 when there is none ("N/A", "").
// Numbers too large for an int saturate instead of wrapping.
int ReadNumber(const QString &text);

struct BandNumber
{
    int value = 0;
    // What the field must show afterwards, when it changes: the limit, or empty for a refused text.
    std::optional<QString> fieldText;
};

// Digits only (empty reads 0); over the limit cuts to the limit in the field; anything else is
// NotSetValue and the field is emptied, unless it reads exactly "N/A".
BandNumber ParseBandNumber(int limit, const QString &text);

// A refusal in the window's own words: the caption and text of its warning box.
struct Refusal
{
    QString caption;
    QString text;
    bool operator==(const Refusal &) const = default;
};

namespace Refusals {
Refusal ValueNotInRange();
Refusal TopBandZero();
Refusal TopBandNotAboveBottom(InputKind kind);
Refusal BottomBandNotBelowTop(InputKind kind);
Refusal BottomBandZeroWithShutOff(InputKind kind);
Refusal SaveFieldsNotSet();
Refusal DownloadFieldsNotSet();
Refusal NotConnected();
} // namespace Refusals

// Limits of the fields.
inline constexpr int kFanSpeedLimit = 100;
inline constexpr int kSoftwareNumberLimit = 99999;
inline constexpr int kVersionNumberLimit = 255;
inline constexpr int kLowAlarmMin = -35;
inline constexpr int kLowAlarmMax = 55;
int TopBandLimit(InputKind kind);
int HighAlarmLimit(InputKind kind);

// Rules applied while a field is typed: the text the field must show instead, if any.
std::optional<QString> SoftwareNumberTyped(const QString &text);
std::optional<QString> VersionNumberTyped(const QString &text);
std::optional<QString> HighAlarmTyped(const QString &text, InputKind kind);
std::optional<QString> LowAlarmTyped(const QString &text);
// Leaving the Software Number: five digits with leading zeros.
QString SoftwareNumberLeft(const QString &text);

// Leaving the top band field, the checks in their order.
struct TopBandCheck
{
    int value = NotSetValue;
    std::optional<QString> fieldText; // the number cut to its limit, or emptied
    // The bottom band is unset: when no curve point is defined yet, the curve's two ends become defined.
    bool defineCurveEnds = false;
    std::optional<Refusal> refusal; // the last accepted text goes back into the field
};
TopBandCheck CheckTopBand(const QString &top, const QString &bottom, InputKind kind);

// Leaving the bottom band field, the checks in their order.
struct BottomBandCheck
{
    enum Outcome {
        Emptied,    // no top band to be below: the field is emptied, nothing else happens
        Refused,    // the last accepted text goes back
        NoFanSpeed, // accepted, but without a bottom fan speed there is no band point to place
        Accepted,   // the bottom band point moves
    };
    Outcome outcome = Emptied;
    int value = NotSetValue;
    std::optional<QString> fieldText;
    // Past the number check: the curve's ends are defined when nothing is, and entry 0 drops to 0 %.
    bool prepareCurve = false;
    std::optional<Refusal> refusal;
    bool redrawShutOff = false; // after a refusal, the shut-off step is drawn again
};
BottomBandCheck CheckBottomBand(const QString &bottom, const QString &top, const QString &shutOff, InputKind kind);

// The shut-off value as the dashed step uses it: -40 for "Always On", none for "N/A" or a refused text.
struct ShutOffCheck
{
    std::optional<int> value;
    std::optional<QString> fieldText; // cut to below the bottom band, emptied, or "N/A" without a bottom band
    bool refused = false;             // not a number
};
ShutOffCheck CheckShutOff(const QString &shutOff, const QString &bottom, const QString &fanSpeedBottom);

// A refusal and the field it is about, by its key in the text form ("topBand").
struct FieldRefusal
{
    QString key;
    Refusal refusal;
};

// What saving refuses: unset band fields outside multipoint mode.
std::optional<Refusal> CheckSaveable(const ControlProfile &profile);
std::optional<FieldRefusal> CheckSaveableFields(const ControlProfile &profile);
// What downloading refuses: band fields unset, empty or "Error", or an empty shut-off or high alarm,
// outside multipoint mode.
std::optional<Refusal> CheckDownloadable(const ControlProfile &profile);

// Every field rule of the window applied to a whole profile, field by field in the window's order,
// as if each had been typed and left: numbers over a limit are cut to it, the software number is
// padded, a low alarm is held within -35..55, a high alarm of 0 becomes 1. Returns the window's
// message for an entry it would refuse.
std::optional<Refusal> ApplyEntryRules(ControlProfile &profile);

// The same, naming the field whose entry was refused.
std::optional<FieldRefusal> ApplyEntryRulesToFields(ControlProfile &profile);
