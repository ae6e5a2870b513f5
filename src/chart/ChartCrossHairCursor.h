// The chart's cross-hair cursor.
#pragma once

#include "ChartRect.h"

#include <QColor>
#include <QPainter>

#include <functional>
#include <vector>

class CChartAxis;

// Follows the mouse in axis values and tells its listeners; the chart never paints it here.
class CChartCrossHairCursor
{
public:
    using Listener = std::function<void(double x, double y)>;

    CChartCrossHairCursor(const CChartAxis *horizontalAxis, const CChartAxis *verticalAxis)
        : horizontalAxis(horizontalAxis), verticalAxis(verticalAxis)
    {
    }

    void RegisterListener(Listener listener) { listeners.push_back(std::move(listener)); }
    void OnMouseMove(int x, int y);
    void OnMouseButtonDown(int, int) {}
    void OnMouseButtonUp(int, int) {}
    void draw(QPainter *painter, const ChartRect &plot) const;

    QColor colour{0, 0, 0};
    int LastX() const { return lastX; }
    int LastY() const { return lastY; }

private:
    const CChartAxis *horizontalAxis;
    const CChartAxis *verticalAxis;
    std::vector<Listener> listeners;
    int lastX = 0;
    int lastY = 0;
};
