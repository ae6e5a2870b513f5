// The time axis: clock-aligned steps and local time labels.
#include "ChartTimeAxis.h"

#include <QFontMetrics>
#include <QtMath>

#include <cstdlib>

CChartTimeAxis::CChartTimeAxis(CChartCtrl *chart, int position) : CChartAxis(chart, position)
{
    // A drag over a few pixels must not zoom to a span no tick can mark.
    minZoomRange = static_cast<double>(kSecondMs);
}

int CChartTimeAxis::LabelWidth(qint64 forStep) const
{
    // Measured once per font: the step is chosen at every layout.
    if (labelFont != widthFont || labelWidths[0] < 0) {
        const QFontMetrics metrics(labelFont);
        labelWidths[0] = metrics.horizontalAdvance(TimeTickSampleText(kSecondMs));
        labelWidths[1] = metrics.horizontalAdvance(TimeTickSampleText(kMinuteMs));
        labelWidths[2] = metrics.horizontalAdvance(TimeTickSampleText(kDayMs));
        widthFont = labelFont;
    }
    return labelWidths[forStep < kMinuteMs ? 0 : forStep < kDayMs ? 1 : 2];
}

void CChartTimeAxis::ComputeTickStep()
{
    if (!automaticTicks)
        return;
    step = ComputeTimeTickStep(
        max - min, std::abs(endPixel - startPixel), [this](qint64 s) { return LabelWidth(s); }, Px(16));
}

std::vector<double> CChartTimeAxis::TickValues() const
{
    return TimeTickValues(min, max, step);
}
