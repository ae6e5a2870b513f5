// Drawing a line series: pen, width, style, collinear points dropped, and redrawing only what moved.
#include "ChartLineSerie.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"

#include <algorithm>

void CChartLineSerie::SetWidth(int width)
{
    penWidth = width;
    Changed();
}

void CChartLineSerie::SetPenStyle(int style)
{
    penStyle = style;
    Changed();
}

const QPolygon &CChartLineSerie::Line() const
{
    const CScaleMap xMap = horizontalAxis ? horizontalAxis->Map() : CScaleMap();
    const CScaleMap yMap = verticalAxis ? verticalAxis->Map() : CScaleMap();
    if (lineGeneration == Generation() && lineX == xMap && lineY == yMap)
        return line;
    lineGeneration = Generation();
    lineX = xMap;
    lineY = yMap;
    line.clear();
    if (!horizontalAxis || !verticalAxis)
        return line;
    line.reserve(GetPointsCount());
    // Points on a straight run add nothing to the drawn line but stroking work; drop them.
    for (const QPointF &point : Points()) {
        const QPoint p(xMap.transform(point.x()), yMap.transform(point.y()));
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
    return line;
}

void CChartLineSerie::DrawAll(QPainter *painter) const
{
    const QPolygon &drawn = Line();
    if (!visible || drawn.isEmpty())
        return;
    painter->save();
    painter->setClipRect(plottingRect.ToQRect(), Qt::IntersectClip);
    painter->setRenderHint(QPainter::Antialiasing, false);
    const Qt::PenStyle style = penStyle == Dashed ? Qt::DashLine : Qt::SolidLine;
    if (shadow) {
        painter->setPen(QPen(shadowColour, penWidth, style, Qt::FlatCap, Qt::MiterJoin));
        painter->drawPolyline(drawn.translated(shadowDepth, shadowDepth));
    }
    painter->setPen(QPen(colour, penWidth, style, Qt::FlatCap, Qt::MiterJoin));
    painter->drawPolyline(drawn);
    painter->restore();
}

int CChartLineSerie::Reach() const
{
    // A miter reaches at most twice the pen's width past its corner.
    return 2 * std::max(penWidth, 1) + 2 + (shadow ? shadowDepth : 0);
}

QRect CChartLineSerie::Around(const QPolygon &points, int from, int to) const
{
    from = std::max(from, 0);
    to = std::min(to, static_cast<int>(points.size()) - 1);
    if (from > to)
        return {};
    int left = points[from].x(), right = left, top = points[from].y(), bottom = top;
    for (int i = from + 1; i <= to; ++i) {
        left = std::min(left, points[i].x());
        right = std::max(right, points[i].x());
        top = std::min(top, points[i].y());
        bottom = std::max(bottom, points[i].y());
    }
    const int reach = Reach();
    return QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-reach, -reach, reach, reach) &
           plottingRect.ToQRect();
}

QRect CChartLineSerie::Extent() const
{
    if (!visible)
        return {};
    const QPolygon &drawn = Line();
    return Around(drawn, 0, static_cast<int>(drawn.size()) - 1);
}

QRect CChartLineSerie::Damage() const
{
    const Style style = CurrentStyle();
    // A dash pattern runs on from the line's start, and a shadow is drawn under the whole line:
    // a moved point changes them all the way along.
    if (!(style == drawnStyle) || penStyle == Dashed || shadow)
        return DrawnExtent() | Extent();
    if (!visible)
        return {};
    // The stretch between the points that stayed at either end, with the unmoved neighbours whose
    // joins turn with it.
    const QPolygon &now = Line();
    const int oldCount = static_cast<int>(drawnLine.size());
    const int newCount = static_cast<int>(now.size());
    int head = 0;
    while (head < oldCount && head < newCount && drawnLine[head] == now[head])
        ++head;
    if (head == oldCount && head == newCount)
        return {};
    int tail = 0;
    while (tail < oldCount - head && tail < newCount - head &&
           drawnLine[oldCount - 1 - tail] == now[newCount - 1 - tail])
        ++tail;
    return Around(drawnLine, head - 1, oldCount - tail) | Around(now, head - 1, newCount - tail);
}

void CChartLineSerie::DrawIn(QPainter *painter, const QRect &area) const
{
    const QPolygon &drawn = Line();
    const int segments = static_cast<int>(drawn.size()) - 1;
    if (!visible || segments < 2 || penStyle == Dashed || shadow || area.contains(Extent())) {
        DrawAll(painter);
        return;
    }
    // Only the runs of segments that reach into the area, each with one more segment at either
    // end: the corners inside are then joined as in the whole line, and the ends fall outside.
    const int reach = Reach();
    const auto touches = [&](int i) {
        return QRect(drawn[i], drawn[i + 1]).normalized().adjusted(-reach, -reach, reach, reach).intersects(area);
    };
    painter->save();
    painter->setClipRect(plottingRect.ToQRect(), Qt::IntersectClip);
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(colour, penWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    for (int i = 0; i < segments;) {
        if (!touches(i)) {
            ++i;
            continue;
        }
        int last = i;
        while (last + 1 < segments && touches(last + 1))
            ++last;
        const int from = std::max(i - 1, 0);
        const int to = std::min(last + 2, segments); // the end point of the segment after the run
        painter->drawPolyline(drawn.constData() + from, to - from + 1);
        i = last + 1;
    }
    painter->restore();
}

void CChartLineSerie::MarkDrawn()
{
    CChartSerie::MarkDrawn();
    drawnLine = Line();
    drawnStyle = CurrentStyle();
}
