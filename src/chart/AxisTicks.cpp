// Automatic tick steps, first ticks and tick label texts.
#include "AxisTicks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

TickStep ComputeTickStep(int startPixel, int endPixel, bool horizontal, double min, double max, TickStep previous,
                         double spacing)
{
    if (max == min)
        return {0, previous.decimals};
    const int apart = std::max(1, static_cast<int>(std::lround((horizontal ? 30 : 20) * spacing)));
    const int n = std::abs((endPixel - startPixel) / apart);
    if (n == 0)
        return previous; // too narrow for any tick spacing; keep what we had
    const double span = (max - min) / n;
    if (!(span > 0) || !std::isfinite(span))
        return previous;
    const int e = static_cast<int>(std::floor(std::log10(span)));
    double base = 1;
    for (int i = 0; i < std::abs(e); ++i)
        base *= 10;
    if (e < 0)
        base = 1 / base;
    int decimals = e < 0 ? -e : 0;
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * base >= span)
            return {factor * base, decimals};
    }
    if (10 * base >= span)
        return {10 * base, decimals > 0 ? decimals - 1 : 0};
    return {previous.increment, previous.decimals};
}

double ComputeFirstTick(double min, double increment)
{
    if (increment == 0 || min == 0)
        return min;
    // Truncation lands on or just below a positive minimum, on or above a negative one.
    double first = std::trunc(min / increment) * increment;
    while (first < min)
        first += increment;
    return first;
}

QString TickLabelText(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.toDouble() == 0)
        text.remove(0, 1); // no "-0" under a tick
    return text;
}
