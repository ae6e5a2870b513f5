// A chart series of events marked across the plot.
#pragma once

#include "ChartSerie.h"

#include <QFont>

#include <functional>

// Events at x, each a thin vertical line across the plot with a short text at its top. The point's
// y is the event's code; the text and colour functions turn it into what is shown.
class CChartEventSerie : public CChartSerie
{
public:
    using TextFunction = std::function<QString(double code)>;
    using ColourFunction = std::function<QColor(double code)>;

    CChartEventSerie(CChartCtrl *chart, int id);

    void AddEvent(double x, double code) { AppendPoint(QPointF(x, code)); }
    void SetTextFunction(TextFunction function);
    void SetColourFunction(ColourFunction function);
    QString Text(double code) const;
    QColor Colour(double code) const;

    void DrawAll(QPainter *painter) const override;

    QFont font;

private:
    TextFunction textFunction;
    ColourFunction colourFunction;
};
