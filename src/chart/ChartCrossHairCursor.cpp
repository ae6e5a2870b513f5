// The cross-hair cursor's tracking of the mouse in axis values.
#include "ChartCrossHairCursor.h"

#include "ChartAxis.h"

void CChartCrossHairCursor::OnMouseMove(int x, int y)
{
    lastX = x;
    lastY = y;
    const double xValue = horizontalAxis->PixelToValue(x);
    const double yValue = verticalAxis->PixelToValue(y);
    for (const Listener &listener : listeners)
        listener(xValue, yValue);
}

void CChartCrossHairCursor::draw(QPainter *painter, const ChartRect &plot) const
{
    painter->save();
    painter->setPen(QPen(colour, 0));
    painter->drawLine(lastX, plot.top, lastX, plot.bottom - 1);
    painter->drawLine(plot.left, lastY, plot.right - 1, lastY);
    painter->restore();
}
