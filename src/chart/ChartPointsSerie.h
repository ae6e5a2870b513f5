// A chart series drawn as markers.
#pragma once

#include "ChartSerie.h"

// A marker at each point.
class CChartPointsSerie : public CChartSerie
{
public:
    enum PointType { Ellipse = 0, Rectangle = 1, Triangle = 2 };

    using CChartSerie::CChartSerie;

    void SetPointSize(int width, int height);
    void SetPointType(int type);
    void SetBorderColor(QColor value);
    int PointWidth() const { return pointWidth; }
    int PointHeight() const { return pointHeight; }

    void DrawAll(QPainter *painter) const override;
    QRect Extent() const override;
    void DrawIn(QPainter *painter, const QRect &area) const override;

private:
    void DrawMarker(QPainter *painter, const QRect &box) const;
    // All markers, or only those reaching into `area`.
    void DrawMarkers(QPainter *painter, const QRect *area) const;
    QRect MarkerExtent(QPoint p) const;

    int pointWidth = 5;
    int pointHeight = 5;
    int pointType = Ellipse;
    QColor borderColour{0, 0, 0};
};
