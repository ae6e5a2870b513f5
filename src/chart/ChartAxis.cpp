// Axis layout, ticks, labels and grid of the chart.
#include "ChartAxis.h"

#include "ChartCtrl.h"
#include "ChartPaint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtMath>

#include <algorithm>

CChartAxis::CChartAxis(CChartCtrl *chart, int position)
    : chart(chart), horizontal(position == Bottom || position == Top), secondary(position == Right || position == Top)
{
    labelFont.setPointSize(8);
    grid.horizontal = horizontal;
}

void CChartAxis::FollowFont(const QFont &labels, const QFont &titles, double scale)
{
    labelFont = labels;
    title.font = titles;
    fontScale = scale;
}

int CChartAxis::Px(int pixels) const
{
    return std::max(1, qRound(pixels * fontScale));
}

void CChartAxis::SetRange(double minimum, double maximum)
{
    min = minimum;
    max = maximum;
    undoZoomMin = minimum;
    undoZoomMax = maximum;
    chart->Redraw();
}

void CChartAxis::SetShown(bool shown)
{
    visible = shown;
    chart->Redraw();
}

void CChartAxis::SetZoomRange(double minimum, double maximum)
{
    if (!zoomEnabled || min == max)
        return;
    min = minimum;
    max = std::max(maximum, minimum + minZoomRange);
}

void CChartAxis::ShiftByPixels(int fromPixel, int toPixel)
{
    const double offset = PixelToValue(fromPixel) - PixelToValue(toPixel);
    SetZoomRange(min + offset, max + offset);
}

void CChartAxis::UndoZoom()
{
    min = undoZoomMin;
    max = undoZoomMax;
}

void CChartAxis::SetAxisSize(const ChartRect &plot)
{
    if (horizontal) {
        startPixel = plot.left;
        endPixel = plot.right;
    } else {
        startPixel = plot.bottom;
        endPixel = plot.top;
    }
}

void CChartAxis::TakeMargin(ChartRect &plot, const ChartRect &chartRect) const
{
    if (!visible)
        return;
    const QSize label = LargestLabelSize();
    const QSize titleSize = title.Size(horizontal);
    if (horizontal) {
        const int margin = label.height() + Px(6) + titleSize.height();
        if (secondary)
            plot.top = std::max(plot.top, chartRect.top + margin);
        else
            plot.bottom = std::min(plot.bottom, chartRect.bottom - margin);
        plot.right = std::min(plot.right, chartRect.right - Px(3) - label.width() / 2);
    } else {
        const int margin = label.width() + Px(10) + titleSize.width();
        if (secondary)
            plot.right = std::min(plot.right, chartRect.right - margin);
        else
            plot.left = std::max(plot.left, chartRect.left + margin);
        plot.top = std::max(plot.top, chartRect.top + Px(3) + label.height() / 2);
    }
}

const QStaticText &CChartAxis::Label(double value) const
{
    if (labelFont != labelCacheFont || labelCache.size() > 512) {
        labelCache.clear();
        labelCacheFont = labelFont;
    }
    const QPair<double, qint64> key(value, LabelStyle());
    auto it = labelCache.find(key);
    if (it == labelCache.end()) {
        QStaticText label(LabelTextOf(value));
        label.setTextFormat(Qt::PlainText);
        label.prepare(QTransform(), labelFont);
        it = labelCache.insert(key, label);
    }
    return *it;
}

QSize CChartAxis::LargestLabelSize() const
{
    const int height = QFontMetrics(labelFont).height();
    QSize largest(0, 0);
    for (double v : TickValues()) {
        const QSizeF size = Label(v).size();
        largest = largest.expandedTo(QSize(qCeil(size.width()), height));
    }
    return largest;
}

void CChartAxis::draw(QPainter *painter, const ChartRect &plot, const ChartRect &chartRect)
{
    grid.tickPixels.clear();
    if (!visible)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
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
        FillHLine(painter, startPixel, endPixel, lineAt, axisColour);
    } else {
        lineAt = secondary ? axisRect.left + 1 : axisRect.right - 1;
        FillVLine(painter, lineAt, startPixel, endPixel, axisColour);
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
    painter->setPen(textColour);
    for (double v : TickValues()) {
        const int p = map.transform(v);
        if (!map.ContainsPixel(p))
            continue;
        const QStaticText &label = Label(v);
        const int textWidth = qCeil(label.size().width());
        if (horizontal) {
            if (secondary)
                FillVLine(painter, p, axisRect.bottom - 1, axisRect.bottom - Px(4), axisColour);
            else
                FillVLine(painter, p, axisRect.top + 1, axisRect.top + Px(4), axisColour);
            const int top = secondary ? axisRect.bottom - metrics.height() - Px(5) : axisRect.top + Px(5);
            painter->drawStaticText(QPoint(p - textWidth / 2, top), label);
        } else {
            const int outward = secondary ? Px(4) : -Px(4);
            FillHLine(painter, lineAt, lineAt + outward, p, axisColour);
            const int top = p - metrics.height() / 2;
            const int left = secondary ? lineAt + Px(6) : lineAt - Px(6) - textWidth;
            painter->drawStaticText(QPoint(left, top), label);
        }
        grid.tickPixels.push_back(p);
    }
    painter->restore();
    grid.draw(painter, plot);
}
