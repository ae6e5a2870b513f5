// Drawing a strip series: visible points found by binary search, reduced per pixel column.
#include "ChartStripSerie.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"

#include <algorithm>
#include <cmath>

void CChartStripSerie::SetWidth(int width)
{
    penWidth = width;
    chart->Redraw();
}

void CChartStripSerie::SetGap(double dx)
{
    gap = dx;
    chart->Redraw();
}

std::vector<QPolygon> CChartStripSerie::Runs() const
{
    std::vector<QPolygon> runs;
    const std::vector<QPointF> &points = Points();
    if (!horizontalAxis || !verticalAxis || points.empty())
        return runs;
    const CScaleMap xMap = horizontalAxis->Map();
    const CScaleMap yMap = verticalAxis->Map();
    const double low = std::min(xMap.Min(), xMap.Max());
    const double high = std::max(xMap.Min(), xMap.Max());
    const auto byX = [](const QPointF &p, double x) { return p.x() < x; };
    const auto xBy = [](double x, const QPointF &p) { return x < p.x(); };
    // One point on each side beyond the range, so the line runs on to the plot's edge.
    auto first = std::lower_bound(points.begin(), points.end(), low, byX);
    auto last = std::upper_bound(first, points.end(), high, xBy);
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
    for (auto it = first; it != last; ++it) {
        const double x = it->x();
        const double y = it->y();
        if (std::isnan(y)) {
            closeRun();
            continue;
        }
        if (open && x - previousX > gap)
            closeRun();
        previousX = x;
        const int at = xMap.transform(x);
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
    painter->setClipRect(plottingRect.ToQRect());
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(colour, penWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    for (const QPolygon &run : runs) {
        if (run.size() == 1) {
            const QPoint p = run.front();
            const int half = penWidth / 2;
            painter->fillRect(QRect(p.x() - half, p.y() - half, penWidth, penWidth), colour);
        } else {
            painter->drawPolyline(run);
        }
    }
    painter->restore();
}
