// A chart series drawn as a line.
#pragma once

#include "ChartSerie.h"

// Points joined by a line.
class CChartLineSerie : public CChartSerie
{
public:
    enum PenStyle { Solid = 0, Dashed = 1 };

    using CChartSerie::CChartSerie;

    void SetWidth(int width);
    void SetPenStyle(int style);
    int GetWidth() const { return penWidth; }
    int GetPenStyle() const { return penStyle; }

    void DrawAll(QPainter *painter) const override;

private:
    int penWidth = 1;
    int penStyle = Solid;
};
