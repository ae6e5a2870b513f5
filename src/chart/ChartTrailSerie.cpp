// The trail series: a bounded list of positions and their fading markers.
#include "ChartTrailSerie.h"

#include "ChartCtrl.h"

#include <algorithm>

CChartTrailSerie::CChartTrailSerie(CChartCtrl *chart, int id) : CChartSerie(chart, id)
{
    // Kept in the order they came: the position in the list is the age.
    SetOrdering(NoOrdering);
}

void CChartTrailSerie::AddPoint(QPointF point)
{
    if (GetPointsCount() < kCapacity) {
        AppendPoint(point);
        return;
    }
    // Full: the oldest goes.
    const std::vector<QPointF> &points = Points();
    const std::size_t keep = std::min<std::size_t>(points.size(), kCapacity - 1);
    std::vector<double> xs, ys;
    xs.reserve(keep + 1);
    ys.reserve(keep + 1);
    for (std::size_t i = points.size() - keep; i < points.size(); ++i) {
        xs.push_back(points[i].x());
        ys.push_back(points[i].y());
    }
    xs.push_back(point.x());
    ys.push_back(point.y());
    ReplacePoints(xs.data(), ys.data(), static_cast<int>(xs.size()));
}

void CChartTrailSerie::SetPointSize(int size)
{
    pointSize = size;
    chart->Redraw();
}

int CChartTrailSerie::Alpha(int index) const
{
    // By age, so a marker keeps its shade as the trail fills up behind it.
    const int age = GetPointsCount() - 1 - index;
    return kNewestAlpha - (kNewestAlpha - kOldestAlpha) * age / (kCapacity - 1);
}

void CChartTrailSerie::DrawAll(QPainter *painter) const
{
    if (!visible || !horizontalAxis || !verticalAxis || GetPointsCount() == 0)
        return;
    painter->save();
    painter->setClipRect(plottingRect.ToQRect());
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    const double radius = pointSize / 2.0;
    // Oldest first, so newer markers lie on top of older ones.
    for (int i = 0; i < GetPointsCount(); ++i) {
        QColor fill = colour;
        fill.setAlpha(Alpha(i));
        painter->setBrush(fill);
        painter->drawEllipse(QPointF(ScreenPoint(i)) + QPointF(0.5, 0.5), radius, radius);
    }
    painter->restore();
}
