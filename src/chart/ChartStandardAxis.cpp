// The numeric axis: automatic ticks and their labels.
#include "ChartStandardAxis.h"

#include <algorithm>

namespace {
constexpr int kMaxTicks = 10000; // a runaway range must not hang the paint
}

void CChartStandardAxis::ComputeTickStep()
{
    if (automaticTicks)
        step = ::ComputeTickStep(startPixel, endPixel, horizontal, min, max, step);
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

const QStaticText &CChartStandardAxis::Label(double value) const
{
    if (labelFont != labelCacheFont || labelCache.size() > 512) {
        labelCache.clear();
        labelCacheFont = labelFont;
    }
    const QPair<double, int> key(value, step.decimals);
    auto it = labelCache.find(key);
    if (it == labelCache.end()) {
        QStaticText label(TickLabelText(value, step.decimals));
        label.setTextFormat(Qt::PlainText);
        label.prepare(QTransform(), labelFont);
        it = labelCache.insert(key, label);
    }
    return *it;
}
