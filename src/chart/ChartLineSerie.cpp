#include "ChartLineSerie.h"

#include "ChartCtrl.h"

#include <QPolygon>

void CChartLineSerie::SetWidth(int width)
{
    penWidth = width;
    chart->Redraw();
}

void CChartLineSerie::SetPenStyle(int style)
{
    penStyle = style;
    chart->Redraw();
}

void CChartLineSerie::DrawAll(QPainter *painter) const
{
    if (!visible || GetPointsCount() == 0)
        return;
    QPolygon line(GetPointsCount());
    for (int i = 0; i < GetPointsCount(); ++i)
        line[i] = ScreenPoint(i);

    painter->save();
    painter->setClipRect(plottingRect.ToQRect());
    painter->setRenderHint(QPainter::Antialiasing, true);
    const Qt::PenStyle style = penStyle == Dashed ? Qt::DashLine : Qt::SolidLine;
    if (shadow) {
        painter->setPen(QPen(shadowColour, penWidth, style, Qt::FlatCap, Qt::MiterJoin));
        painter->drawPolyline(line.translated(shadowDepth, shadowDepth));
    }
    painter->setPen(QPen(colour, penWidth, style, Qt::FlatCap, Qt::MiterJoin));
    painter->drawPolyline(line);
    painter->restore();
}
