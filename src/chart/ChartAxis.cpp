// Axis layout, ticks, labels and grid of the chart.
#include "ChartAxis.h"

#include "ChartCtrl.h"

#include <algorithm>

CChartAxis::CChartAxis(CChartCtrl *chart, int position)
    : chart(chart), horizontal(position == Bottom || position == Top), secondary(position == Right || position == Top)
{
    labelFont.setPointSize(8);
    grid.horizontal = horizontal;
}

void CChartAxis::SetRange(double minimum, double maximum)
{
    min = minimum;
    max = maximum;
    undoZoomMin = minimum;
    undoZoomMax = maximum;
    chart->Redraw();
}

void CChartAxis::SetShown(bool shown)
{
    visible = shown;
    chart->Redraw();
}

void CChartAxis::SetZoomRange(double minimum, double maximum)
{
    if (!zoomEnabled || min == max)
        return;
    min = minimum;
    max = std::max(maximum, minimum + minZoomRange);
}

void CChartAxis::ShiftByPixels(int fromPixel, int toPixel)
{
    const double offset = PixelToValue(fromPixel) - PixelToValue(toPixel);
    SetZoomRange(min + offset, max + offset);
}

void CChartAxis::UndoZoom()
{
    min = undoZoomMin;
    max = undoZoomMax;
}

void CChartAxis::SetAxisSize(const ChartRect &plot)
{
    if (horizontal) {
        startPixel = plot.left;
        endPixel = plot.right;
    } else {
        startPixel = plot.bottom;
        endPixel = plot.top;
    }
}

void CChartAxis::TakeMargin(ChartRect &plot, const ChartRect &chartRect) const
{
    if (!visible)
        return;
    const QSize label = LargestLabelSize();
    const QSize titleSize = title.Size(horizontal);
    if (horizontal) {
        const int margin = label.height() + 6 + titleSize.height();
        if (secondary)
            plot.top = std::max(plot.top, chartRect.top + margin);
        else
            plot.bottom = std::min(plot.bottom, chartRect.bottom - margin);
        plot.right = std::min(plot.right, chartRect.right - 3 - label.width() / 2);
    } else {
        const int margin = label.width() + 10 + titleSize.width();
        if (secondary)
            plot.right = std::min(plot.right, chartRect.right - margin);
        else
            plot.left = std::max(plot.left, chartRect.left + margin);
        plot.top = std::max(plot.top, chartRect.top + 3 + label.height() / 2);
    }
}
