// Field texts stay strings ("N/A" and "Always On" are values too); multipoint is a flag, the curve numbers.
#include "ProfileJson.h"

#include "ProfileText.h"

QJsonObject ProfileJson(const ControlProfile &profile, const std::array<double, FanCurve::kPoints> &curveFan)
{
    QJsonObject object;
    for (const auto &[key, value] : ProfileFields(profile))
        object.insert(key, value);
    object.insert(QStringLiteral("multipoint"), profile.multipoint);
    QJsonArray curve;
    for (double value : curveFan)
        curve.append(static_cast<int>(value));
    object.insert(QStringLiteral("curve"), curve);
    return object;
}

QJsonArray DifferencesJson(const std::vector<ProfileDifference> &differences)
{
    QJsonArray array;
    for (const ProfileDifference &d : differences)
        array.append(
            QJsonObject{{QStringLiteral("key"), d.key}, {QStringLiteral("a"), d.a}, {QStringLiteral("b"), d.b}});
    return array;
}
