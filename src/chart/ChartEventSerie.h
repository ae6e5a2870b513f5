// A chart series of events marked across the plot.
#pragma once

#include "ChartSerie.h"

#include <QFont>

#include <functional>

// Events at x, each a thin vertical line across the plot with a short text near its top. The point's
// y is the event's code; the text and colour functions turn an event into what is shown.
class CChartEventSerie : public CChartSerie
{
public:
    static constexpr double kFontPoints = 8;
    // Texts that would overlap go one below the other, in as many rows as this.
    static constexpr int kTextRows = 3;
    // The event as (x, code): what the code means may depend on when it came.
    using TextFunction = std::function<QString(QPointF event)>;
    using ColourFunction = std::function<QColor(double code)>;

    CChartEventSerie(CChartCtrl *chart, int id);

    void AddEvent(double x, double code) { AppendPoint(QPointF(x, code)); }
    void SetTextFunction(TextFunction function);
    void SetColourFunction(ColourFunction function);
    QString Text(QPointF event) const;
    QColor Colour(double code) const;

    void DrawAll(QPainter *painter) const override;
    void FollowFont() override;

    QFont font;

private:
    TextFunction textFunction;
    ColourFunction colourFunction;
};
