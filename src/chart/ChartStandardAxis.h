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
    QString LabelTextOf(double value) const override;
    qint64 LabelStyle() const override { return step.decimals; }

private:
    double firstTick = 0;
    TickStep step;
};
