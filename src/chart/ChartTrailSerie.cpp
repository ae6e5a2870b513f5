// The trail series: a bounded list of positions and their fading markers.
#include "ChartTrailSerie.h"

#include "ChartCtrl.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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
    Changed();
}

QRect CChartTrailSerie::Extent() const
{
    if (!visible || !horizontalAxis || !verticalAxis)
        return {};
    QRect extent;
    for (int i = 0; i < GetPointsCount(); ++i)
        extent |= MarkerExtent(ScreenPoint(i));
    return extent & plottingRect.ToQRect();
}

QRect CChartTrailSerie::MarkerExtent(QPoint p) const
{
    const int reach = pointSize / 2 + 2;
    return {p.x() - reach, p.y() - reach, 2 * reach + 1, 2 * reach + 1};
}

void CChartTrailSerie::DrawAll(QPainter *painter) const
{
    DrawMarkers(painter, nullptr);
}

void CChartTrailSerie::DrawIn(QPainter *painter, const QRect &area) const
{
    DrawMarkers(painter, &area);
}

int CChartTrailSerie::Alpha(int index) const
{
    // By age, so a marker keeps its shade as the trail fills up behind it.
    const int age = GetPointsCount() - 1 - index;
    return kNewestAlpha - (kNewestAlpha - kOldestAlpha) * age / (kCapacity - 1);
}

void CChartTrailSerie::DrawMarker(QPainter *painter, QPointF centre, int alpha) const
{
    QColor fill = colour;
    fill.setAlpha(alpha);
    painter->setBrush(fill);
    painter->drawEllipse(centre + QPointF(0.5, 0.5), pointSize / 2.0, pointSize / 2.0);
}

const QImage &CChartTrailSerie::Sprite(int alpha, int ratio) const
{
    if (spriteColour != colour.rgb() || spriteSize != pointSize || spriteRatio != ratio) {
        sprites.clear();
        spriteColour = colour.rgb();
        spriteSize = pointSize;
        spriteRatio = ratio;
    }
    auto it = sprites.find(alpha);
    if (it == sprites.end()) {
        const int reach = pointSize / 2 + 2;
        QImage sprite(QSize(2 * reach + 1, 2 * reach + 1) * ratio, QImage::Format_ARGB32_Premultiplied);
        sprite.setDevicePixelRatio(ratio);
        sprite.fill(Qt::transparent);
        QPainter painter(&sprite);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        DrawMarker(&painter, QPointF(reach, reach), alpha);
        painter.end();
        it = sprites.insert(alpha, sprite);
    }
    return *it;
}

void CChartTrailSerie::DrawMarkers(QPainter *painter, const QRect *area) const
{
    if (!visible || !horizontalAxis || !verticalAxis || GetPointsCount() == 0)
        return;
    painter->save();
    painter->setClipRect(plottingRect.ToQRect(), Qt::IntersectClip);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    // Smoothing a marker is the costly part: each shade is drawn once and copied, which blends to the
    // very same pixels where ours fall on whole screen pixels; otherwise each is drawn in place.
    const qreal ratio = painter->device()->devicePixelRatio();
    const bool copies = painter->transform().isIdentity() && ratio == std::floor(ratio) && ratio >= 1;
    const int reach = pointSize / 2 + 2;
    // Oldest first, so newer markers lie on top of older ones.
    for (int i = 0; i < GetPointsCount(); ++i) {
        const QPoint p = ScreenPoint(i);
        if (area && !MarkerExtent(p).intersects(*area))
            continue;
        if (copies)
            painter->drawImage(QPoint(p.x() - reach, p.y() - reach), Sprite(Alpha(i), static_cast<int>(ratio)));
        else
            DrawMarker(painter, p, Alpha(i));
    }
    painter->restore();
}
