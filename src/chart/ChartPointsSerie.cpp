// Drawing a points series: one marker at each point.
#include "ChartPointsSerie.h"

#include "ChartCtrl.h"

#include <QPolygon>

void CChartPointsSerie::SetPointSize(int width, int height)
{
    pointWidth = width;
    pointHeight = height;
    chart->Redraw();
}

void CChartPointsSerie::SetPointType(int type)
{
    pointType = type;
    chart->Redraw();
}

void CChartPointsSerie::DrawMarker(QPainter *painter, const QRect &box) const
{
    switch (pointType) {
    case Rectangle: painter->drawRect(box); break;
    case Triangle: {
        const QPolygon triangle({QPoint(box.center().x(), box.top()), box.bottomLeft(), box.bottomRight()});
        painter->drawPolygon(triangle);
        break;
    }
    default: painter->drawEllipse(box); break;
    }
}

void CChartPointsSerie::DrawAll(QPainter *painter) const
{
    if (!visible)
        return;
    painter->save();
    painter->setClipRect(plottingRect.ToQRect());
    const int halfW = pointWidth / 2;
    const int halfH = pointHeight / 2;
    // A 1 x 1 marker is a single pixel, so no smoothing spreads it.
    painter->setRenderHint(QPainter::Antialiasing, pointWidth > 2);
    for (int i = 0; i < GetPointsCount(); ++i) {
        const QPoint p = ScreenPoint(i);
        const QRect box(QPoint(p.x() - halfW, p.y() - halfH), QPoint(p.x() + halfW - 1, p.y() + halfH - 1));
        if (shadow) {
            painter->setPen(shadowColour);
            painter->setBrush(shadowColour);
            DrawMarker(painter, box.translated(shadowDepth, shadowDepth));
        }
        painter->setPen(QPen(borderColour, 0));
        painter->setBrush(colour);
        if (pointWidth <= 1 && pointHeight <= 1)
            painter->fillRect(QRect(p, QSize(1, 1)), colour);
        else
            DrawMarker(painter, box);
    }
    painter->restore();
}
