// The point store of a series and its labels.
#include "ChartSerie.h"

#include "ChartAxis.h"
#include "ChartBalloonLabel.h"
#include "ChartCtrl.h"

#include <algorithm>

namespace {
constexpr std::size_t kInitialCapacity = 1000;
}

CChartSerie::CChartSerie(CChartCtrl *chart, int id) : chart(chart), id(id)
{
    points.reserve(kInitialCapacity);
}

CChartSerie::~CChartSerie() = default;

void CChartSerie::SetAxes(CChartAxis *horizontal, CChartAxis *vertical)
{
    horizontalAxis = horizontal;
    verticalAxis = vertical;
}

void CChartSerie::SetColor(QColor value)
{
    colour = value;
    Changed();
}

void CChartSerie::SetVisible(bool on)
{
    visible = on;
    Changed();
}

void CChartSerie::SetShadow(bool on)
{
    shadow = on;
    Changed();
}

void CChartSerie::SetZOrder(int z)
{
    zOrder = z;
    Changed();
}

void CChartSerie::Changed()
{
    ++generation;
    chart->RefreshSeries();
}

void CChartSerie::ReplacePoints(const double *xs, const double *ys, int count)
{
    points.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = QPointF(xs[i], ys[i]);
    // Stable, so equal keys keep the order they came in.
    if (ordering == OrderByX)
        std::stable_sort(points.begin(), points.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    else if (ordering == OrderByY)
        std::stable_sort(points.begin(), points.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    RecomputeExtents();
    Changed();
}

void CChartSerie::AppendPoint(QPointF point)
{
    if (ordering == NoOrdering || points.empty()) {
        points.push_back(point);
    } else {
        const bool byX = ordering == OrderByX;
        const auto after = std::upper_bound(points.begin(), points.end(), point, [byX](QPointF a, QPointF b) {
            return byX ? a.x() < b.x() : a.y() < b.y();
        });
        points.insert(after, point);
    }
    if (points.size() == 1) {
        minX = maxX = point.x();
        minY = maxY = point.y();
    } else {
        minX = std::min(minX, point.x());
        maxX = std::max(maxX, point.x());
        minY = std::min(minY, point.y());
        maxY = std::max(maxY, point.y());
    }
    Changed();
}

void CChartSerie::RemoveAllPoints()
{
    points.clear();
    labels.clear();
    RecomputeExtents();
    Changed();
}

void CChartSerie::RecomputeExtents()
{
    if (points.empty()) {
        minX = maxX = minY = maxY = 0;
        return;
    }
    const auto [lowX, highX] =
        std::minmax_element(points.begin(), points.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    const auto [lowY, highY] =
        std::minmax_element(points.begin(), points.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    minX = lowX->x();
    maxX = highX->x();
    minY = lowY->y();
    maxY = highY->y();
}

std::pair<CChartSerie::PointIt, CChartSerie::PointIt> CChartSerie::PointsInView() const
{
    const CScaleMap xMap = horizontalAxis->Map();
    const double low = std::min(xMap.Min(), xMap.Max());
    const double high = std::max(xMap.Min(), xMap.Max());
    const auto first =
        std::lower_bound(points.begin(), points.end(), low, [](const QPointF &p, double x) { return p.x() < x; });
    const auto last = std::upper_bound(first, points.end(), high, [](double x, const QPointF &p) { return x < p.x(); });
    return {first, last};
}

QPoint CChartSerie::ScreenPoint(int index) const
{
    const QPointF p = GetPoint(index);
    return {horizontalAxis->ValueToPixel(p.x()), verticalAxis->ValueToPixel(p.y())};
}

CChartBalloonLabel *CChartSerie::AttachLabel(int index, std::unique_ptr<CChartBalloonLabel> label)
{
    auto &slot = labels[index];
    slot = std::move(label);
    slot->font = chart->ScaledFont(CChartBalloonLabel::kFontPoints);
    ++generation; // drawn with the next redraw, as before
    return slot.get();
}

void CChartSerie::FollowFont()
{
    for (auto &[index, label] : labels)
        label->font = chart->ScaledFont(CChartBalloonLabel::kFontPoints);
    ++generation;
}

QRect CChartSerie::Extent() const
{
    return plottingRect.ToQRect();
}

void CChartSerie::DrawIn(QPainter *painter, const QRect &) const
{
    DrawAll(painter);
}

QRect CChartSerie::LabelsExtent() const
{
    QRect extent;
    for (const auto &[index, label] : labels) {
        if (index < GetPointsCount())
            extent |= label->Extent(ScreenPoint(index));
    }
    return extent;
}

void CChartSerie::MarkDrawn()
{
    drawnGeneration = generation;
    drawnExtent = Extent();
    drawnLabelsExtent = LabelsExtent();
}

void CChartSerie::DrawLabels(QPainter *painter) const
{
    for (const auto &[index, label] : labels) {
        if (index < GetPointsCount())
            label->draw(painter, ScreenPoint(index));
    }
}
