// A chart axis: position, range, ticks, labels, grid and title.
#pragma once

#include "ChartAxisLabel.h"
#include "ChartGrid.h"
#include "ChartRect.h"
#include "ScaleMap.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QStaticText>

#include <vector>

class CChartCtrl;

// Everything of an axis that the drawn frame (axes, labels, grid) depends on.
struct AxisFrameState
{
    bool visible = false;
    bool inverted = false;
    bool automaticTicks = true;
    double min = 0;
    double max = 0;
    QString title;
    QFont titleFont;
    QFont labelFont;
    QRgb textColour = 0;
    QRgb axisColour = 0;
    QRgb gridColour = 0;
    bool gridVisible = true;
    double fontScale = 1;
    bool operator==(const AxisFrameState &) const = default;
};

// One side of the plotting area: maps values to pixels, takes its margin, draws line, ticks,
// labels, grid and title. Positions: 0 left, 1 bottom, 2 right, 3 top.
class CChartAxis
{
public:
    enum Position { Left = 0, Bottom = 1, Right = 2, Top = 3 };
    // Sizes at the dialog's 8 pt font (the chart scales them with its own).
    static constexpr double kLabelFontPoints = 8;
    static constexpr double kTitleFontPoints = 10;

    CChartAxis(CChartCtrl *chart, int position);
    virtual ~CChartAxis() = default;
    CChartAxis(const CChartAxis &) = delete;
    CChartAxis &operator=(const CChartAxis &) = delete;

    bool IsHorizontal() const { return horizontal; }
    bool IsSecondary() const { return secondary; }
    bool IsVisible() const { return visible; }
    double GetMin() const { return min; }
    double GetMax() const { return max; }

    void SetRange(double minimum, double maximum);
    void SetShown(bool shown);
    void SetInverted(bool on) { inverted = on; }
    void SetZoomEnabled(bool on) { zoomEnabled = on; }
    CChartAxisLabel *GetTitle() { return &title; }
    const CChartAxisLabel *GetTitle() const { return &title; }
    const CChartGrid *GetGrid() const { return &grid; }
    CChartGrid *GetGrid() { return &grid; }

    AxisFrameState FrameState() const
    {
        return {visible,
                inverted,
                automaticTicks,
                min,
                max,
                title.GetText(),
                title.font,
                labelFont,
                textColour.rgb(),
                axisColour.rgb(),
                grid.colour.rgb(),
                grid.visible,
                fontScale};
    }

    // The chart's font: tick labels, title and the layout's pixel distances follow it.
    void FollowFont(const QFont &labels, const QFont &titles, double scale);
    double FontScale() const { return fontScale; }

    CScaleMap Map() const { return {startPixel, endPixel, min, max, horizontal, inverted}; }
    int ValueToPixel(double value) const { return Map().transform(value); }
    double PixelToValue(int pixel) const { return Map().invTransform(pixel); }

    void SetZoomRange(double minimum, double maximum);
    void ShiftByPixels(int fromPixel, int toPixel);
    void UndoZoom();

    // Layout: the axis spans the plotting rectangle along its direction.
    void SetAxisSize(const ChartRect &plot);
    virtual void ComputeTickStep() = 0;
    virtual void ComputeFirstTick() = 0;
    // Tick values from the first tick up to the maximum.
    virtual std::vector<double> TickValues() const = 0;
    // Moves the plotting rectangle's edges inwards by the room the axis needs.
    void TakeMargin(ChartRect &plot, const ChartRect &chartRect) const;
    // Line, title, ticks with their labels, and the grid.
    virtual void draw(QPainter *painter, const ChartRect &plot, const ChartRect &chartRect);

    int StartPixel() const { return startPixel; }
    int EndPixel() const { return endPixel; }
    bool automaticTicks = true;
    QFont labelFont;
    QColor textColour{0, 0, 0};
    QColor axisColour{0, 0, 0};

protected:
    // A distance of the layout, in pixels at the dialog font, at the chart's font.
    int Px(int pixels) const;
    // Widest and highest tick label, for the margin.
    virtual QSize LargestLabelSize() const;
    // The laid-out label of a tick, formatted and shaped once and reused from paint to paint:
    // formatting and shaping text is the costly part of a redraw.
    const QStaticText &Label(double value) const;
    // A tick's label text, and what besides the value decides it (the decimals, the step).
    virtual QString LabelTextOf(double value) const = 0;
    virtual qint64 LabelStyle() const = 0;

    CChartCtrl *chart;
    bool horizontal;
    bool secondary;
    bool inverted = false;
    bool visible = true;
    double min = 0;
    double max = 10;
    double undoZoomMin = 0;
    double undoZoomMax = 10;
    int startPixel = 0;
    int endPixel = 0;
    bool zoomEnabled = true;
    double minZoomRange = 0.001;
    double fontScale = 1;
    CChartGrid grid;
    CChartAxisLabel title;

private:
    mutable QHash<QPair<double, qint64>, QStaticText> labelCache;
    mutable QFont labelCacheFont;
};
