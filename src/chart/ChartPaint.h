// Small painting helpers shared by the chart's parts.
#pragma once

#include <QColor>
#include <QPainter>

// One-pixel axis-aligned lines as rectangle fills: the raster engine fills a rectangle in one
// pass, while a cosmetic line goes pixel span by pixel span. Both ends are included.
inline void FillHLine(QPainter *painter, int x1, int x2, int y, const QColor &colour)
{
    if (x2 < x1)
        std::swap(x1, x2);
    painter->fillRect(QRect(x1, y, x2 - x1 + 1, 1), colour);
}

inline void FillVLine(QPainter *painter, int x, int y1, int y2, const QColor &colour)
{
    if (y2 < y1)
        std::swap(y1, y2);
    painter->fillRect(QRect(x, y1, 1, y2 - y1 + 1), colour);
}
