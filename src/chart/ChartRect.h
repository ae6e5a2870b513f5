// The rectangle type of the chart's layout.
#pragma once

#include <QRect>

// A rectangle by its edges, right and bottom exclusive, as the chart's layout rules are written.
struct ChartRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    ChartRect Inflated(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
    bool operator==(const ChartRect &) const = default;
};
