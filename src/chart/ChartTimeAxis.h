// The chart's wall-clock time axis.
#pragma once

#include "ChartAxis.h"
#include "TimeTicks.h"

#include <QHash>
#include <QStaticText>

// A horizontal axis of wall-clock times in milliseconds since the epoch, labelled with local clock
// times on steps of whole seconds, minutes or hours.
class CChartTimeAxis : public CChartAxis
{
public:
    CChartTimeAxis(CChartCtrl *chart, int position);

    void ComputeTickStep() override;
    void ComputeFirstTick() override {}
    std::vector<double> TickValues() const override;

    qint64 TickStep() const { return step; }
    QString LabelText(double timeMs) const { return TimeTickLabelText(timeMs, step); }
    // The label as drawn, from the cache.
    QString DrawnLabelText(double timeMs) const { return Label(timeMs).text(); }

protected:
    QString LabelTextOf(double value) const override { return LabelText(value); }
    // The same instant reads "00:00" on an hour step and as a date on a day step.
    qint64 LabelStyle() const override { return step; }

private:
    int LabelWidth(qint64 forStep) const;

    qint64 step = kMinuteMs;
    mutable QFont widthFont;
    mutable int labelWidths[3] = {-1, -1, -1};
};
