// A chart series: ordered points against two axes.
#pragma once

#include "ChartRect.h"

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QString>

#include <map>
#include <memory>
#include <vector>

class CChartAxis;
class CChartCtrl;
class CChartBalloonLabel;

// A set of (x, y) points drawn against one horizontal and one vertical axis, kept in order.
class CChartSerie
{
public:
    enum Ordering { NoOrdering = 0, OrderByX = 1, OrderByY = 2 };

    CChartSerie(CChartCtrl *chart, int id);
    virtual ~CChartSerie();
    CChartSerie(const CChartSerie &) = delete;
    CChartSerie &operator=(const CChartSerie &) = delete;

    int GetId() const { return id; }
    void SetAxes(CChartAxis *horizontalAxis, CChartAxis *verticalAxis);
    CChartAxis *HorizontalAxis() const { return horizontalAxis; }
    CChartAxis *VerticalAxis() const { return verticalAxis; }

    void SetColor(QColor value);
    QColor GetColor() const { return colour; }
    void SetVisible(bool on);
    void SetShadow(bool on);
    void SetOrdering(Ordering value) { ordering = value; }
    // Series are drawn by z-order, then in the order they were added: a higher z is drawn later,
    // over lower ones. All start at 0.
    void SetZOrder(int z);
    int ZOrder() const { return zOrder; }

    void ReplacePoints(const double *xs, const double *ys, int count);
    void AppendPoint(QPointF point);
    void RemoveAllPoints();

    int GetPointsCount() const { return static_cast<int>(points.size()); }
    QPointF GetPoint(int index) const { return points[static_cast<std::size_t>(index)]; }
    const std::vector<QPointF> &Points() const { return points; }
    double MinX() const { return minX; }
    double MaxX() const { return maxX; }
    double MinY() const { return minY; }
    double MaxY() const { return maxY; }

    // Screen position of point `index` through the series' axes.
    QPoint ScreenPoint(int index) const;

    // Takes ownership; the label hangs from point `index` and goes with RemoveAllPoints.
    CChartBalloonLabel *AttachLabel(int index, std::unique_ptr<CChartBalloonLabel> label);
    // Texts follow the chart's font; the chart calls this when it is added and when the font changes.
    virtual void FollowFont();

    void SetPlottingRect(const ChartRect &rect) { plottingRect = rect; }
    virtual void DrawAll(QPainter *painter) const = 0;
    void DrawLabels(QPainter *painter) const;

    // What a redraw needs to repair only what changed. Areas are in the widget's pixels.
    // Changes since the series and its labels were last drawn.
    bool ChangedSinceDrawn() const { return generation != drawnGeneration; }
    // Everything DrawAll draws as things stand (the chart clips it to the plot).
    virtual QRect Extent() const;
    // Where the drawing differs from the last one: by default all of the old and the new.
    virtual QRect Damage() const { return drawnExtent | Extent(); }
    // Draws what may touch `area`, to a painter already clipped to it.
    virtual void DrawIn(QPainter *painter, const QRect &area) const;
    QRect LabelsExtent() const;
    QRect LabelsDamage() const { return drawnLabelsExtent | LabelsExtent(); }
    // Records what was drawn; the chart calls it after drawing the series and its labels.
    virtual void MarkDrawn();

protected:
    using PointIt = std::vector<QPointF>::const_iterator;
    // Whatever changes the drawing comes through here: noted for the chart, which redraws what changed.
    void Changed();
    quint64 Generation() const { return generation; }
    QRect DrawnExtent() const { return drawnExtent; }
    // The points whose x lies in the horizontal axis' range, for a series kept in x order.
    std::pair<PointIt, PointIt> PointsInView() const;

    CChartCtrl *chart;
    CChartAxis *horizontalAxis = nullptr;
    CChartAxis *verticalAxis = nullptr;
    int id;
    QColor colour;
    bool visible = true;
    bool shadow = false;
    QColor shadowColour{150, 150, 150};
    int shadowDepth = 2;
    ChartRect plottingRect;

private:
    void RecomputeExtents();

    std::vector<QPointF> points;
    Ordering ordering = OrderByX;
    int zOrder = 0;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    std::map<int, std::unique_ptr<CChartBalloonLabel>> labels;
    quint64 generation = 1;
    quint64 drawnGeneration = 0;
    QRect drawnExtent;
    QRect drawnLabelsExtent;
};
