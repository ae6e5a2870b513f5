// Profiles and their differences as JSON, with the keys of the text form.
#pragma once

#include "ControlProfile.h"
#include "ProfileCompare.h"

#include <QJsonArray>
#include <QJsonObject>

QJsonObject ProfileJson(const ControlProfile &profile, const std::array<double, FanCurve::kPoints> &curveFan);
QJsonArray DifferencesJson(const std::vector<ProfileDifference> &differences);
