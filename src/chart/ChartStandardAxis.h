// The chart's numeric, linear axis.
#pragma once

#include "AxisTicks.h"
#include "ChartAxis.h"

#include <QHash>
#include <QStaticText>

// The numeric, linear axis.
class CChartStandardAxis : public CChartAxis
{
public:
    using CChartAxis::CChartAxis;

    void ComputeTickStep() override;
    void ComputeFirstTick() override;

    double FirstTick() const { return firstTick; }
    double TickIncrement() const { return step.increment; }
    int Decimals() const { return step.decimals; }
    // Tick values from the first tick up to the maximum; one tick when the range is a single value.
    std::vector<double> TickValues() const override;

protected:
    // Formatted and laid-out tick labels by value, reused from paint to paint: formatting and
    // shaping text is the costly part of a redraw.
    const QStaticText &Label(double value) const override;

private:
    double firstTick = 0;
    mutable QHash<QPair<double, int>, QStaticText> labelCache;
    mutable QFont labelCacheFont;
    TickStep step;
};
