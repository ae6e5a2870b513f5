// Drawing a points series: one marker at each point.
#include "ChartPointsSerie.h"

#include "ChartCtrl.h"

#include <QPolygon>

void CChartPointsSerie::SetPointSize(int width, int height)
{
    pointWidth = width;
    pointHeight = height;
    Changed();
}

void CChartPointsSerie::SetPointType(int type)
{
    pointType = type;
    Changed();
}

void CChartPointsSerie::SetBorderColor(QColor value)
{
    borderColour = value;
    Changed();
}

QRect CChartPointsSerie::Extent() const
{
    if (!visible)
        return {};
    QRect extent;
    for (int i = 0; i < GetPointsCount(); ++i)
        extent |= MarkerExtent(ScreenPoint(i));
    return extent & plottingRect.ToQRect();
}

QRect CChartPointsSerie::MarkerExtent(QPoint p) const
{
    // The marker's box, a pixel more for its border and its smoothing, and its shadow.
    const int reach = (shadow ? shadowDepth : 0) + 2;
    return {p.x() - pointWidth / 2 - reach, p.y() - pointHeight / 2 - reach, pointWidth + 2 * reach,
            pointHeight + 2 * reach};
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
    DrawMarkers(painter, nullptr);
}

void CChartPointsSerie::DrawIn(QPainter *painter, const QRect &area) const
{
    DrawMarkers(painter, &area);
}

void CChartPointsSerie::DrawMarkers(QPainter *painter, const QRect *area) const
{
    if (!visible)
        return;
    painter->save();
    painter->setClipRect(plottingRect.ToQRect(), Qt::IntersectClip);
    const int halfW = pointWidth / 2;
    const int halfH = pointHeight / 2;
    // A 1 x 1 marker is a single pixel, so no smoothing spreads it.
    painter->setRenderHint(QPainter::Antialiasing, pointWidth > 2);
    for (int i = 0; i < GetPointsCount(); ++i) {
        const QPoint p = ScreenPoint(i);
        if (area && !MarkerExtent(p).intersects(*area))
            continue;
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
