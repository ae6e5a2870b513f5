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

protected:
    const QStaticText &Label(double value) const override;

private:
    int LabelWidth(qint64 forStep) const;

    qint64 step = kMinuteMs;
    mutable QHash<QPair<double, bool>, QStaticText> labelCache;
    mutable QFont labelCacheFont;
    mutable QFont widthFont;
    mutable int labelWidths[2] = {-1, -1};
};
