// The grid lines of a chart axis.
#pragma once

#include "ChartPaint.h"
#include "ChartRect.h"

#include <QColor>
#include <QPainter>

#include <vector>

// Grid lines across the plotting area at an axis' tick pixels.
class CChartGrid
{
public:
    QColor colour{128, 128, 128};
    bool visible = true;
    bool horizontal = true;
    std::vector<int> tickPixels;

    void draw(QPainter *painter, const ChartRect &plot) const
    {
        if (!visible)
            return;
        // Lines run inside the plotting area only, so no clipping is needed.
        for (int p : tickPixels) {
            if (horizontal && p >= plot.left && p < plot.right)
                FillVLine(painter, p, plot.top, plot.bottom - 1, colour);
            else if (!horizontal && p >= plot.top && p < plot.bottom)
                FillHLine(painter, plot.left, plot.right - 1, p, colour);
        }
    }
};
