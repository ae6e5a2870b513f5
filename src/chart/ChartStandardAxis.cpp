// The numeric axis: automatic ticks and their labels.
#include "ChartStandardAxis.h"

#include <algorithm>

namespace {
constexpr int kMaxTicks = 10000; // a runaway range must not hang the paint
}

void CChartStandardAxis::ComputeTickStep()
{
    if (automaticTicks)
        step = ::ComputeTickStep(startPixel, endPixel, horizontal, min, max, step, fontScale);
}

void CChartStandardAxis::ComputeFirstTick()
{
    firstTick = ::ComputeFirstTick(min, step.increment);
}

std::vector<double> CChartStandardAxis::TickValues() const
{
    std::vector<double> ticks;
    if (max == min || step.increment <= 0) {
        ticks.push_back(min);
        return ticks;
    }
    for (double v = firstTick; v <= max && static_cast<int>(ticks.size()) < kMaxTicks; v += step.increment)
        ticks.push_back(v);
    return ticks;
}

QString CChartStandardAxis::LabelTextOf(double value) const
{
    return TickLabelText(value, step.decimals);
}
