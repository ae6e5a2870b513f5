// Drawing a strip series: visible points found by binary search, reduced per pixel column.
#include "ChartStripSerie.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"

#include <algorithm>
#include <cmath>

void CChartStripSerie::SetWidth(int width)
{
    penWidth = width;
    Changed();
}

void CChartStripSerie::SetGap(double dx)
{
    gap = dx;
    Changed();
}

std::vector<QPolygon> CChartStripSerie::Runs() const
{
    std::vector<QPolygon> runs;
    const std::vector<QPointF> &points = Points();
    if (!horizontalAxis || !verticalAxis || points.empty())
        return runs;
    const CScaleMap xMap = horizontalAxis->Map();
    const CScaleMap yMap = verticalAxis->Map();
    // One point on each side beyond the range, so the line runs on to the plot's edge.
    auto [first, last] = PointsInView();
    if (first != points.begin())
        --first;
    if (last != points.end())
        ++last;

    QPolygon run;
    bool open = false; // a column is being gathered
    int column = 0;
    double minY = 0, maxY = 0;
    bool minFirst = true;
    double previousX = 0;
    const auto closeColumn = [&] {
        const int top = yMap.transform(maxY);
        const int bottom = yMap.transform(minY);
        if (top == bottom) {
            run.append(QPoint(column, top));
        } else {
            run.append(QPoint(column, minFirst ? bottom : top));
            run.append(QPoint(column, minFirst ? top : bottom));
        }
    };
    const auto closeRun = [&] {
        if (open)
            closeColumn();
        open = false;
        if (!run.isEmpty())
            runs.push_back(std::move(run));
        run = QPolygon();
    };
    // A column's points are contiguous: its end is found by galloping from its first point, so
    // only a few points per column go through the map and the rest are merely compared.
    const auto inColumn = [&xMap](int at) {
        return [&xMap, at](const QPointF &p) { return xMap.transform(p.x()) == at; };
    };
    for (auto it = first; it != last;) {
        const int at = xMap.transform(it->x());
        auto known = it; // the last point known to be in the column
        std::ptrdiff_t step = 1;
        while (last - known > step && xMap.transform((known + step)->x()) == at) {
            known += step;
            step *= 2;
        }
        const auto end = std::partition_point(known + 1, known + std::min(step, last - known), inColumn(at));
        for (; it != end; ++it) {
            const double x = it->x();
            const double y = it->y();
            if (std::isnan(y)) {
                closeRun();
                continue;
            }
            if (open && x - previousX > gap)
                closeRun();
            previousX = x;
            if (open && at == column) {
                if (y < minY) {
                    minY = y;
                    minFirst = false; // the maximum came before this new minimum
                } else if (y > maxY) {
                    maxY = y;
                    minFirst = true;
                }
                continue;
            }
            if (open)
                closeColumn();
            open = true;
            column = at;
            minY = maxY = y;
            minFirst = true;
        }
    }
    closeRun();
    return runs;
}

void CChartStripSerie::DrawAll(QPainter *painter) const
{
    if (!visible)
        return;
    const std::vector<QPolygon> runs = Runs();
    if (runs.empty())
        return;
    painter->save();
    painter->setClipRect(plottingRect.ToQRect(), Qt::IntersectClip);
    painter->setRenderHint(QPainter::Antialiasing, false);
    // A wide line is a square brush of one-pixel strokes, shifted right and down: the raster
    // engine strokes a wide pen's joins one by one, about ten times slower over a dense strip.
    painter->setPen(QPen(colour, 0));
    const int width = std::max(penWidth, 1);
    for (const QPolygon &run : runs) {
        if (run.size() == 1) {
            painter->fillRect(QRect(run.front(), QSize(width, width)), colour);
            continue;
        }
        painter->drawPolyline(run);
        for (int shift = 1; shift < width; ++shift) {
            painter->drawPolyline(run.translated(shift, 0));
            painter->drawPolyline(run.translated(0, shift));
        }
    }
    painter->restore();
}
