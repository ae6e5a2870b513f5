// Steps, ticks and labels of the wall-clock time axis.
#include "TimeTicks.h"

#include <QDateTime>

#include <array>
#include <cmath>

namespace {
constexpr std::array<qint64, 18> kSteps = {
    kSecondMs, 2 * kSecondMs, 5 * kSecondMs, 10 * kSecondMs, 15 * kSecondMs, 30 * kSecondMs,
    kMinuteMs, 2 * kMinuteMs, 5 * kMinuteMs, 10 * kMinuteMs, 15 * kMinuteMs, 30 * kMinuteMs,
    kHourMs,   2 * kHourMs,   3 * kHourMs,   6 * kHourMs,    12 * kHourMs,   kDayMs,
};
constexpr int kMaxTicks = 2000; // a runaway range must not hang the paint

qint64 FloorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

qint64 LocalOffsetMs(double timeMs)
{
    return static_cast<qint64>(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(timeMs)).offsetFromUtc()) * kSecondMs;
}
} // namespace

qint64 ComputeTimeTickStep(double spanMs, int pixels, const std::function<int(qint64 step)> &labelWidth, int gap)
{
    if (!(spanMs > 0) || !std::isfinite(spanMs) || pixels <= 0)
        return kSteps.front();
    const auto fits = [&](qint64 step) {
        return static_cast<double>(step) / spanMs * pixels >= labelWidth(step) + gap;
    };
    for (qint64 step : kSteps) {
        if (fits(step))
            return step;
    }
    // Beyond a day: whole days, as many as it takes.
    const double perPixel = spanMs / pixels;
    qint64 days = std::max<qint64>(1, static_cast<qint64>(std::ceil((labelWidth(kDayMs) + gap) * perPixel / kDayMs)));
    while (!fits(days * kDayMs) && days < (qint64(1) << 40))
        days *= 2;
    return days * kDayMs;
}

std::vector<double> TimeTickValues(double min, double max, qint64 step)
{
    std::vector<double> ticks;
    if (step <= 0 || !(max >= min) || !std::isfinite(min) || !std::isfinite(max))
        return ticks;
    // Aligned on the local clock at the start of the range. A daylight-saving change inside the
    // range moves the later ticks of steps above an hour off the clock's grid; they stay evenly spaced.
    const qint64 offset = LocalOffsetMs(min);
    const qint64 low = static_cast<qint64>(std::ceil(min));
    qint64 tick = (FloorDiv(low + offset - 1, step) + 1) * step - offset;
    for (; static_cast<double>(tick) <= max && static_cast<int>(ticks.size()) < kMaxTicks; tick += step)
        ticks.push_back(static_cast<double>(tick));
    return ticks;
}

QString TimeTickLabelText(double timeMs, qint64 step)
{
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(timeMs)));
    // Ticks a day or more apart all sit at midnight: the date is what tells them apart.
    if (step >= kDayMs)
        return time.toString(QStringLiteral("dd MMM"));
    return time.toString(step < kMinuteMs ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm"));
}

QString TimeTickSampleText(qint64 step)
{
    if (step >= kDayMs)
        return QStringLiteral("30 MMM"); // wider than any month's short name
    return step < kMinuteMs ? QStringLiteral("00:00:00") : QStringLiteral("00:00");
}
