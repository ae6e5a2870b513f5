// Field-by-field comparison of profile images, and the check for a curve that stops the fan when hot.
#include "ProfileCompare.h"

#include "ProfileText.h"

#include <QStringList>

namespace {
QString Range(const QString &name, int first, int last)
{
    return first == last ? QStringLiteral("%1[%2]").arg(name).arg(first)
                         : QStringLiteral("%1[%2..%3]").arg(name).arg(first).arg(last);
}

QString Values(double first, double last, bool range)
{
    return range ? QStringLiteral("%1..%2").arg(first).arg(last) : QString::number(first);
}

QString Bytes(const ProfileImage &image, int first, int last)
{
    QStringList hex;
    for (int i = first; i <= last; ++i)
        hex << QStringLiteral("%1").arg(image[static_cast<std::size_t>(i)], 2, 16, QLatin1Char('0'));
    return hex.join(QLatin1Char(' '));
}

// Runs of indexes where `differs` holds, each as its first and last index.
template <class Differs> std::vector<std::pair<int, int>> Runs(int count, Differs differs)
{
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < count; ++i) {
        if (!differs(i))
            continue;
        if (!runs.empty() && runs.back().second == i - 1)
            runs.back().second = i;
        else
            runs.emplace_back(i, i);
    }
    return runs;
}
} // namespace

std::vector<ProfileDifference> CompareProfiles(const ProfileImage &a, const ProfileImage &b,
                                               const TemperatureCodeTable &table)
{
    std::vector<ProfileDifference> differences;
    if (a == b)
        return differences;
    const DecodedProfile da = DecodeProfileImage(a.data(), false, table);
    const DecodedProfile db = DecodeProfileImage(b.data(), false, table);
    const auto fieldsA = ProfileFields(da.fields);
    const auto fieldsB = ProfileFields(db.fields);
    for (std::size_t i = 0; i < fieldsA.size(); ++i) {
        if (fieldsA[i].second != fieldsB[i].second)
            differences.push_back({fieldsA[i].first, fieldsA[i].second, fieldsB[i].second});
    }
    for (const auto &[first, last] : Runs(FanCurve::kPoints, [&](int i) { return da.curveFan[i] != db.curveFan[i]; })) {
        const bool range = first != last;
        differences.push_back({Range(QStringLiteral("curve"), first, last),
                               Values(da.curveFan[first], da.curveFan[last], range),
                               Values(db.curveFan[first], db.curveFan[last], range)});
    }
    // Bytes no field shows (fixed bytes, the unused tail, codes no curve entry uses) still differ.
    if (differences.empty()) {
        for (const auto &[first, last] : Runs(kProfileImageSize, [&](int i) { return a[i] != b[i]; }))
            differences.push_back(
                {Range(QStringLiteral("bytes"), first, last), Bytes(a, first, last), Bytes(b, first, last)});
    }
    return differences;
}

QString DifferenceKeys(const std::vector<ProfileDifference> &differences)
{
    QStringList keys;
    for (const ProfileDifference &difference : differences)
        keys << difference.key;
    return keys.join(QStringLiteral(", "));
}

std::optional<int> HotStopEntry(const std::array<double, FanCurve::kPoints> &curveFan)
{
    int last = FanCurve::kPoints - 1;
    while (last >= 0 && curveFan[static_cast<std::size_t>(last)] <= 0)
        --last;
    if (last < 0 || last == FanCurve::kPoints - 1)
        return std::nullopt;
    return last;
}

QString EntryValueText(int entry, InputKind kind)
{
    if (kind == InputKind::Voltage)
        return QStringLiteral("%1 V").arg((entry - 1) / 25.4, 0, 'f', 2);
    return QStringLiteral("%1 °C").arg((entry - 1) / 4.0);
}

QString HotStopWarning(int entry, InputKind kind)
{
    return QStringLiteral("The fan curve falls to 0 % above %1: the fan stops when it is hottest.")
        .arg(EntryValueText(entry, kind));
}
