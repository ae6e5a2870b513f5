// A chart series for long time series.
#pragma once

#include "ChartSerie.h"

#include <QPolygon>

#include <limits>
#include <vector>

// A line through many points in x order, drawn with at most one minimum/maximum pair per pixel
// column of the visible range, so its cost follows the width, not the number of points. A NaN y,
// or a step in x wider than the gap, breaks the line.
class CChartStripSerie : public CChartSerie
{
public:
    using CChartSerie::CChartSerie;

    void SetWidth(int width);
    int GetWidth() const { return penWidth; }
    void SetGap(double dx);
    double Gap() const { return gap; }

    // The runs of the line in pixels, as drawn; a run of one point is drawn as a dot.
    std::vector<QPolygon> Runs() const;
    void DrawAll(QPainter *painter) const override;

private:
    int penWidth = 1;
    double gap = std::numeric_limits<double>::infinity();
};
