// Tick arithmetic of a wall-clock time axis.
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

// Times are milliseconds since the epoch; ticks and labels follow the local clock.
inline constexpr qint64 kSecondMs = 1000;
inline constexpr qint64 kMinuteMs = 60 * kSecondMs;
inline constexpr qint64 kHourMs = 60 * kMinuteMs;
inline constexpr qint64 kDayMs = 24 * kHourMs;

// The smallest step from 1 s, 2 s, 5 s, 10 s, 15 s, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6,
// 12 h, then whole days, whose ticks lie at least `labelWidth(step) + gap` pixels apart.
qint64 ComputeTimeTickStep(double spanMs, int pixels, const std::function<int(qint64 step)> &labelWidth, int gap = 16);
// Ticks on the local clock's multiples of the step (whole minutes, hours counted from local
// midnight) from `min` up to `max`.
std::vector<double> TimeTickValues(double min, double max, qint64 step);
// "hh:mm:ss" under steps shorter than a minute, "hh:mm" from a minute on, "dd MMM" from a day on;
// local time.
QString TimeTickLabelText(double timeMs, qint64 step);
// A label of the widest kind a step gives, for measuring.
QString TimeTickSampleText(qint64 step);
