// Drawing a line series: pen, width, style, and collinear points dropped.
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
    // Points on a straight run add nothing to the drawn line but stroking work; drop them.
    QPolygon line;
    line.reserve(GetPointsCount());
    for (int i = 0; i < GetPointsCount(); ++i) {
        const QPoint p = ScreenPoint(i);
        const int n = static_cast<int>(line.size());
        if (n >= 1 && line[n - 1] == p)
            continue;
        if (n >= 2) {
            const QPoint a = line[n - 1] - line[n - 2];
            const QPoint b = p - line[n - 1];
            const long long cross = static_cast<long long>(a.x()) * b.y() - static_cast<long long>(a.y()) * b.x();
            const long long dot = static_cast<long long>(a.x()) * b.x() + static_cast<long long>(a.y()) * b.y();
            if (cross == 0 && dot > 0) {
                line[n - 1] = p;
                continue;
            }
        }
        line.append(p);
    }

    painter->save();
    painter->setClipRect(plottingRect.ToQRect());
    painter->setRenderHint(QPainter::Antialiasing, false);
    const Qt::PenStyle style = penStyle == Dashed ? Qt::DashLine : Qt::SolidLine;
    if (shadow) {
        painter->setPen(QPen(shadowColour, penWidth, style, Qt::FlatCap, Qt::MiterJoin));
        painter->drawPolyline(line.translated(shadowDepth, shadowDepth));
    }
    painter->setPen(QPen(colour, penWidth, style, Qt::FlatCap, Qt::MiterJoin));
    painter->drawPolyline(line);
    painter->restore();
}
