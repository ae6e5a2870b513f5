#include "ChartStandardAxis.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int kMaxTicks = 10000; // a runaway range must not hang the paint
}

void CChartStandardAxis::ComputeTickStep()
{
    if (automaticTicks)
        step = ::ComputeTickStep(startPixel, endPixel, horizontal, min, max, step);
}

void CChartStandardAxis::ComputeFirstTick()
{
    firstTick = ::ComputeFirstTick(min, step.increment);
}

std::vector<double> CChartStandardAxis::TickValues() const
{
    std::vector<double> ticks;
    if (max == min || step.increment <= 0) {
        ticks.push_back(min);
        return ticks;
    }
    for (double v = firstTick; v <= max && static_cast<int>(ticks.size()) < kMaxTicks; v += step.increment)
        ticks.push_back(v);
    return ticks;
}

QSize CChartStandardAxis::LargestLabelSize() const
{
    const QFontMetrics metrics(labelFont);
    QSize largest(0, 0);
    for (double v : TickValues()) {
        const QString text = TickLabelText(v, step.decimals);
        largest = largest.expandedTo(QSize(metrics.horizontalAdvance(text), metrics.height()));
    }
    return largest;
}

void CChartStandardAxis::draw(QPainter *painter, const ChartRect &plot, const ChartRect &chartRect)
{
    grid.tickPixels.clear();
    if (!visible)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(axisColour, 0));
    painter->setFont(labelFont);
    const QFontMetrics metrics(labelFont);

    // The room outside the plotting area on this axis' side.
    ChartRect axisRect;
    if (horizontal)
        axisRect = secondary ? ChartRect{plot.left, chartRect.top, plot.right, plot.top}
                             : ChartRect{plot.left, plot.bottom, plot.right, chartRect.bottom};
    else
        axisRect = secondary ? ChartRect{plot.right, plot.top, chartRect.right, plot.bottom}
                             : ChartRect{chartRect.left, plot.top, plot.left, plot.bottom};

    int lineAt;
    if (horizontal) {
        lineAt = secondary ? axisRect.bottom - 1 : axisRect.top + 1;
        painter->drawLine(startPixel, lineAt, endPixel, lineAt);
    } else {
        lineAt = secondary ? axisRect.left + 1 : axisRect.right - 1;
        painter->drawLine(lineAt, startPixel, lineAt, endPixel);
    }

    // Title in its strip at the outer edge of the axis room.
    const QSize titleSize = title.Size(horizontal);
    if (titleSize.width() > 0) {
        painter->save();
        painter->setFont(title.font);
        painter->setPen(title.textColour);
        if (horizontal) {
            const int top = secondary ? axisRect.top : axisRect.bottom - titleSize.height();
            painter->drawText(QRect(axisRect.left, top, axisRect.Width(), titleSize.height()), Qt::AlignCenter,
                              title.GetText());
        } else {
            const int left = secondary ? axisRect.right - titleSize.width() : axisRect.left;
            const QPoint centre(left + titleSize.width() / 2, (axisRect.top + axisRect.bottom) / 2);
            painter->translate(centre);
            painter->rotate(-90);
            const QSize along = titleSize.transposed();
            painter->drawText(QRect(-along.width() / 2, -along.height() / 2, along.width(), along.height()),
                              Qt::AlignCenter, title.GetText());
        }
        painter->restore();
    }

    const CScaleMap map = Map();
    painter->setPen(QPen(textColour, 0));
    for (double v : TickValues()) {
        const int p = map.transform(v);
        if (!map.ContainsPixel(p))
            continue;
        const QString text = TickLabelText(v, step.decimals);
        const int textWidth = metrics.horizontalAdvance(text);
        painter->setPen(QPen(axisColour, 0));
        if (horizontal) {
            if (secondary)
                painter->drawLine(p, axisRect.bottom - 1, p, axisRect.bottom - 4);
            else
                painter->drawLine(p, axisRect.top + 1, p, axisRect.top + 4);
            const int top = secondary ? axisRect.bottom - metrics.height() - 5 : axisRect.top + 5;
            painter->setPen(textColour);
            painter->drawText(QPoint(p - textWidth / 2, top + metrics.ascent()), text);
        } else {
            const int outward = secondary ? 4 : -4;
            painter->drawLine(lineAt, p, lineAt + outward, p);
            const int baseline = p - metrics.height() / 2 + metrics.ascent();
            const int left = secondary ? lineAt + 6 : lineAt - 6 - textWidth;
            painter->setPen(textColour);
            painter->drawText(QPoint(left, baseline), text);
        }
        grid.tickPixels.push_back(p);
    }
    painter->restore();
    grid.draw(painter, plot);
}
