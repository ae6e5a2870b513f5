// A chart series of the latest positions of a moving point.
#pragma once

#include "ChartSerie.h"

#include <QHash>
#include <QImage>

// The last positions of a moving point, oldest first, drawn as small markers that fade with age.
class CChartTrailSerie : public CChartSerie
{
public:
    static constexpr int kCapacity = 60;

    CChartTrailSerie(CChartCtrl *chart, int id);

    // The oldest position goes once the trail holds kCapacity.
    void AddPoint(QPointF point);
    void Clear() { RemoveAllPoints(); }
    void SetPointSize(int size);
    int PointSize() const { return pointSize; }
    // Alpha of the marker at `index` (0 the oldest): the newest is the most opaque.
    int Alpha(int index) const;

    void DrawAll(QPainter *painter) const override;
    QRect Extent() const override;
    void DrawIn(QPainter *painter, const QRect &area) const override;

    static constexpr int kNewestAlpha = 200;
    static constexpr int kOldestAlpha = 12;

private:
    // All markers, or only those reaching into `area`.
    void DrawMarkers(QPainter *painter, const QRect *area) const;
    void DrawMarker(QPainter *painter, QPointF centre, int alpha) const;
    // The marker of one shade, drawn once at `ratio` device pixels a pixel.
    const QImage &Sprite(int alpha, int ratio) const;
    QRect MarkerExtent(QPoint p) const;

    int pointSize = 7;
    mutable QHash<int, QImage> sprites;
    mutable QRgb spriteColour = 0;
    mutable int spriteSize = 0;
    mutable int spriteRatio = 0;
};
