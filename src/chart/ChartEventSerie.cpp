// Drawing an event series: the visible events' lines and texts.
#include "ChartEventSerie.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"
#include "ChartPaint.h"

#include <QFontMetrics>

#include <algorithm>
#include <array>
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
    // The lines first, so that no line runs through a text.
    std::vector<std::pair<int, PointIt>> shown;
    for (auto it = first; it != last; ++it) {
        const int x = xMap.transform(it->x());
        // Of several events on one pixel column only the last shows: draw just that one.
        const auto next = it + 1;
        if (next != last && xMap.transform(next->x()) == x)
            continue;
        FillVLine(painter, x, plot.top(), plot.bottom(), Colour(it->y()));
        shown.emplace_back(x, it);
    }
    // Each text in the first row where it runs into no other; one that fits in none is left out,
    // its line still shows. A text is formatted only where some row has room for it.
    painter->setFont(font);
    const QFontMetrics metrics(font);
    std::array<int, kTextRows> rowRight;
    rowRight.fill(std::numeric_limits<int>::min());
    for (const auto &[x, it] : shown) {
        if (std::none_of(rowRight.begin(), rowRight.end(), [x = x](int right) { return x + 2 > right; }))
            continue;
        const QString text = Text(*it);
        if (text.isEmpty())
            continue;
        for (int row = 0; row < kTextRows; ++row) {
            QRect box(x + 1, plot.top() + 1 + row * (metrics.height() + 3), metrics.horizontalAdvance(text) + 6,
                      metrics.height() + 2);
            if (box.right() > plot.right()) // at the right edge the text goes left of its line
                box.moveRight(x - 1);
            if (box.left() <= rowRight[static_cast<std::size_t>(row)] || box.bottom() > plot.bottom())
                continue;
            const QColor lineColour = Colour(it->y());
            painter->fillRect(box, QColor(255, 255, 255, 210));
            painter->setPen(lineColour);
            painter->drawText(box, Qt::AlignCenter, text);
            rowRight[static_cast<std::size_t>(row)] = box.right() + 2;
            break;
        }
    }
    painter->restore();
}
