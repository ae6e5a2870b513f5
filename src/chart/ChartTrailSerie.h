// A chart series of the latest positions of a moving point.
#pragma once

#include "ChartSerie.h"

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

    static constexpr int kNewestAlpha = 200;
    static constexpr int kOldestAlpha = 12;

private:
    int pointSize = 7;
};
