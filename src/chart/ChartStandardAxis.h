#pragma once

#include "AxisTicks.h"
#include "ChartAxis.h"

// The numeric, linear axis.
class CChartStandardAxis : public CChartAxis
{
public:
    using CChartAxis::CChartAxis;

    void ComputeTickStep() override;
    void ComputeFirstTick() override;
    void draw(QPainter *painter, const ChartRect &plot, const ChartRect &chartRect) override;

    double FirstTick() const { return firstTick; }
    double TickIncrement() const { return step.increment; }
    int Decimals() const { return step.decimals; }
    // Tick values from the first tick up to the maximum; one tick when the range is a single value.
    std::vector<double> TickValues() const;

protected:
    QSize LargestLabelSize() const override;

private:
    double firstTick = 0;
    TickStep step;
};
