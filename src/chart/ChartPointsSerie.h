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
    void SetBorderColor(QColor value) { borderColour = value; }
    int PointWidth() const { return pointWidth; }
    int PointHeight() const { return pointHeight; }

    void DrawAll(QPainter *painter) const override;

private:
    void DrawMarker(QPainter *painter, const QRect &box) const;

    int pointWidth = 5;
    int pointHeight = 5;
    int pointType = Ellipse;
    QColor borderColour{0, 0, 0};
};
