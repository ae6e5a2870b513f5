// The XY chart control.
#pragma once

#include "ChartAxis.h"
#include "ChartRect.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class CChartAxis;
class CChartCrossHairCursor;
class CChartEventSerie;
class CChartLegend;
class CChartLineSerie;
class CChartPointsSerie;
class CChartSerie;
class CChartStandardAxis;
class CChartStripSerie;
class CChartTimeAxis;
class CChartTitle;
class CChartTrailSerie;

// The XY chart: axes, series and decorations painted into a back buffer; left-drag zooms, and the
// last mouse event is kept for the window to poll.
class CChartCtrl : public QWidget
{
    Q_OBJECT
public:
    enum MouseEvent { NoEvent = 0, LeftDown = 1, Moved = 2, DoubleClick = 3, RightDown = 4 };
    // What GetMouseInfo tells of the last recorded event: its state, or its point on an axis.
    enum class MouseInfo { Reset = 0, State = 5, BottomValue = 6, LeftValue = 7, TopValue = 8 };

    explicit CChartCtrl(QWidget *parent = nullptr);
    ~CChartCtrl() override;

    CChartStandardAxis *AddStandardAxis(int position);
    // Bottom or top: values are milliseconds since the epoch.
    CChartTimeAxis *AddTimeAxis(int position);
    CChartAxis *GetAxis(int position) const { return axes[static_cast<std::size_t>(position)].get(); }
    CChartPointsSerie *AddPointsSerie(bool secondaryHorizontal = false);
    CChartLineSerie *AddLineSerie();
    // Against the bottom axis and the left one, or the right one with `rightAxis`.
    CChartStripSerie *AddStripSerie(bool rightAxis = false);
    CChartEventSerie *AddEventSerie();
    CChartTrailSerie *AddTrailSerie(bool secondaryHorizontal = false);
    CChartCrossHairCursor *CreateCrossHairCursor();
    CChartTitle *GetTitle() const { return title.get(); }
    CChartLegend *GetLegend() const { return legend.get(); }
    int SeriesCount() const { return static_cast<int>(series.size()); }

    // Everything drawn anew into the back buffer.
    void Redraw();
    // Series changed: only what they changed is drawn again (the series call this).
    void RefreshSeries();
    void EnableRedraw(bool enable);
    void ResetZoom();
    // Reset forgets the event (and returns 0), so each one is handled once.
    double GetMouseInfo(MouseInfo what);
    // Records an event as the mouse would: keyboard editing goes through the same path.
    void RecordMouseEvent(int state, QPoint point)
    {
        mouseEventState = state;
        eventPoint = point;
    }

    void SetBackColor(QColor colour);
    QColor GetBackColor() const { return backgroundColour; }
    void SetBackGradient(bool on);
    void SetBorderColor(QColor colour);
    void SetZoomEnabled(bool on) { zoomEnabled = on; }
    // The rectangle drawn while dragging; it must show on the background.
    void SetZoomRectColor(QColor colour) { zoomRectColour = colour; }
    QColor GetZoomRectColor() const { return zoomRectColour; }

    // The chart's texts follow the widget's font: `points` is a size at the dialog's 8 pt font, so
    // at the dialog font every text has its usual size and a larger font makes all of them larger.
    QFont ScaledFont(double points) const;
    // The widget's font against that 8 pt font; the layout's fixed pixel distances grow with it.
    double FontScale() const;

    ChartRect PlottingRect() const { return plottingRect; }
    const QImage &BackBuffer() const { return backBuffer; }
    int RefreshCount() const { return refreshCount; }
    int MouseEventState() const { return mouseEventState; }

    static QColor DefaultColour(int number);

signals:
    // A left-drag zoomed in, or (zoomedOut) a reverse drag went back to the full ranges.
    void zoomedByMouse(bool zoomedOut);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    virtual void PaintBackground(QPainter *painter, const ChartRect &rect) const;
    // The frame (title, axes with labels and grids, plot border) then the series and their labels.
    virtual void PaintChart(QPainter *painter, const ChartRect &rect);

private:
    // What the frame layer was drawn from; a redraw with the same state reuses the layer.
    struct FrameState
    {
        QSize size;
        qreal ratio = 0;
        QRgb background = 0;
        bool gradient = false;
        QRgb gradient1 = 0;
        QRgb gradient2 = 0;
        QRgb border = 0;
        qint64 paletteKey = 0;
        QSize titleSize;
        std::array<std::optional<AxisFrameState>, 4> axes;
        bool operator==(const FrameState &) const = default;
    };
    // One step of drawing: a series, or the labels of one (drawn after every series).
    struct Layer
    {
        CChartSerie *serie = nullptr;
        bool labels = false;
        bool operator==(const Layer &) const = default;
    };
    FrameState CurrentFrameState() const;
    void PaintFrame(QPainter *painter, const ChartRect &rect);
    void PaintSeries(QPainter *painter);
    void Refresh();
    std::vector<Layer> DrawingOrder() const;
    void DrawLayer(QPainter *painter, const Layer &layer, const QRect *area = nullptr) const;
    static bool Changed(const Layer &layer);
    static QRect Extent(const Layer &layer);
    static QRect Damage(const Layer &layer);
    // Draws only the area the changed series touch; false when everything must be drawn.
    bool RedrawChanged();
    void FollowFont();
    void AddSerie(std::unique_ptr<CChartSerie> serie, bool secondaryHorizontal, bool secondaryVertical = false);
    // A new series of the given kind with the next id, added on the chosen axes (defined where used).
    template <class Serie> Serie *AddSerieOf(bool secondaryHorizontal, bool secondaryVertical = false);
    void ZoomTo(QPoint start, QPoint end);

    QImage backBuffer;
    QImage frameLayer;
    std::optional<FrameState> frameState;
    // The frame with the layers under the lowest changed one: a redraw starts from it.
    QImage underlay;
    std::size_t underlayLayers = 0;
    std::vector<Layer> drawnOrder;
    int refreshLock = 1;
    bool refreshPending = false;
    bool redrawAllPending = false;
    bool firstPaintDone = false;
    int refreshCount = 0;
    bool backGradient = false;
    QColor gradientColour1;
    QColor gradientColour2;
    QColor backgroundColour;
    QColor borderColour{0, 0, 0};
    ChartRect plottingRect;
    std::map<int, std::unique_ptr<CChartSerie>> series;
    std::array<std::unique_ptr<CChartAxis>, 4> axes;
    std::unique_ptr<CChartLegend> legend;
    std::unique_ptr<CChartTitle> title;
    std::map<int, std::unique_ptr<CChartCrossHairCursor>> cursors;
    int nextCursorId = 0;
    bool zoomEnabled = true;
    bool zoomDragActive = false;
    QPoint zoomStart;
    QPoint zoomEnd;
    QColor zoomRectColour{255, 255, 255};
    int mouseEventState = NoEvent;
    QPoint eventPoint;
};
