// Comparing two profile images field by field, and curves that stop the fan when hot.
#pragma once

#include "ProfileCodec.h"

#include <QString>

#include <optional>
#include <vector>

// One difference: a field by its key in the text form ("topBand"), curve entries as
// "curve[101..120]" with their first and last values, or image bytes no field shows as "bytes[279..300]".
struct ProfileDifference
{
    QString key;
    QString a;
    QString b;
    QString Line() const { return QStringLiteral("%1: %2 -> %3").arg(key, a, b); }
    bool operator==(const ProfileDifference &) const = default;
};

// Empty exactly when the images are the same to the byte.
std::vector<ProfileDifference> CompareProfiles(const ProfileImage &a, const ProfileImage &b,
                                               const TemperatureCodeTable &table);
// The keys that differ, for one line: "versionNumber, curve[101..120]".
QString DifferenceKeys(const std::vector<ProfileDifference> &differences);

// A curve that is above 0 % somewhere and falls to 0 % for good at its hot end: the last entry at
// which the fan still runs. None for any other curve.
std::optional<int> HotStopEntry(const std::array<double, FanCurve::kPoints> &curveFan);
// The temperature or voltage an entry stands for, as the window names it ("47.75 °C", "3.94 V").
QString EntryValueText(int entry, InputKind kind);
// Why such a curve is worth a second look, in one sentence.
QString HotStopWarning(int entry, InputKind kind);
