// Drawing an event series: the visible events' lines and texts.
#include "ChartEventSerie.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"
#include "ChartPaint.h"

#include <QFontMetrics>

#include <algorithm>
#include <limits>

CChartEventSerie::CChartEventSerie(CChartCtrl *chart, int id) : CChartSerie(chart, id)
{
    font = chart->ScaledFont(kFontPoints);
}

void CChartEventSerie::FollowFont()
{
    CChartSerie::FollowFont();
    font = chart->ScaledFont(kFontPoints);
}

void CChartEventSerie::SetTextFunction(TextFunction function)
{
    textFunction = std::move(function);
    Changed();
}

void CChartEventSerie::SetColourFunction(ColourFunction function)
{
    colourFunction = std::move(function);
    Changed();
}

QString CChartEventSerie::Text(QPointF event) const
{
    return textFunction ? textFunction(event) : QString::number(event.y());
}

QColor CChartEventSerie::Colour(double code) const
{
    return colourFunction ? colourFunction(code) : colour;
}

void CChartEventSerie::DrawAll(QPainter *painter) const
{
    const std::vector<QPointF> &points = Points();
    if (!visible || !horizontalAxis || points.empty())
        return;
    const CScaleMap xMap = horizontalAxis->Map();
    const auto [first, last] = PointsInView();
    if (first == last)
        return;

    painter->save();
    const QRect plot = plottingRect.ToQRect();
    painter->setClipRect(plot, Qt::IntersectClip);
    painter->setFont(font);
    const QFontMetrics metrics(font);
    int textRight = std::numeric_limits<int>::min();
    for (auto it = first; it != last; ++it) {
        const int x = xMap.transform(it->x());
        // Of several events on one pixel column only the last shows: draw just that one.
        const auto next = it + 1;
        if (next != last && xMap.transform(next->x()) == x)
            continue;
        const QColor lineColour = Colour(it->y());
        FillVLine(painter, x, plot.top(), plot.bottom(), lineColour);
        // A text that would run into the one before is left out; its line still shows.
        if (x + 2 <= textRight)
            continue;
        const QString text = Text(*it);
        if (text.isEmpty())
            continue;
        QRect box(x + 1, plot.top() + 1, metrics.horizontalAdvance(text) + 6, metrics.height() + 2);
        if (box.right() > plot.right()) { // at the right edge the text goes left of its line
            box.moveRight(x - 1);
            if (box.left() <= textRight)
                continue;
        }
        painter->fillRect(box, QColor(255, 255, 255, 210));
        painter->setPen(lineColour);
        painter->drawText(box, Qt::AlignCenter, text);
        textRight = box.right() + 2;
    }
    painter->restore();
}
