// A chart series drawn as a line.
#pragma once

#include "ChartSerie.h"
#include "ScaleMap.h"

#include <QPolygon>

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

    // The line as drawn, in pixels: repeated points and points on straight runs dropped.
    const QPolygon &Line() const;

    void DrawAll(QPainter *painter) const override;
    QRect Extent() const override;
    // A solid line whose points moved: only the stretch around the moved points.
    QRect Damage() const override;
    void DrawIn(QPainter *painter, const QRect &area) const override;
    void MarkDrawn() override;

private:
    struct Style
    {
        QColor colour;
        int width = 0;
        int penStyle = Solid;
        bool visible = false;
        bool shadow = false;
        bool operator==(const Style &) const = default;
    };
    Style CurrentStyle() const { return {colour, penWidth, penStyle, visible, shadow}; }
    // How far the stroke reaches beyond its points: half the pen, miter joins, the shadow.
    int Reach() const;
    QRect Around(const QPolygon &line, int from, int to) const;

    int penWidth = 1;
    int penStyle = Solid;

    mutable QPolygon line;
    mutable quint64 lineGeneration = 0;
    mutable CScaleMap lineX, lineY;
    QPolygon drawnLine;
    Style drawnStyle;
};
