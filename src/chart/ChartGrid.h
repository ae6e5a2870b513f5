#pragma once

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
        painter->save();
        painter->setClipRect(plot.ToQRect());
        painter->setPen(QPen(colour, 0));
        for (int p : tickPixels) {
            if (horizontal)
                painter->drawLine(p, plot.top, p, plot.bottom - 1);
            else
                painter->drawLine(plot.left, p, plot.right - 1, p);
        }
        painter->restore();
    }
};
