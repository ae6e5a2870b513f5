#pragma once

#include "ChartRect.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <array>
#include <map>
#include <memory>

class CChartAxis;
class CChartCrossHairCursor;
class CChartLegend;
class CChartLineSerie;
class CChartPointsSerie;
class CChartSerie;
class CChartStandardAxis;
class CChartTitle;

// The XY chart: axes, series and decorations painted into a back buffer; left-drag zooms, and the
// last mouse event is kept for the window to poll.
class CChartCtrl : public QWidget
{
    Q_OBJECT
public:
    enum MouseEvent { NoEvent = 0, LeftDown = 1, Moved = 2, DoubleClick = 3, RightDown = 4 };

    explicit CChartCtrl(QWidget *parent = nullptr);
    ~CChartCtrl() override;

    CChartStandardAxis *AddStandardAxis(int position);
    CChartAxis *GetAxis(int position) const { return axes[static_cast<std::size_t>(position)].get(); }
    CChartPointsSerie *AddPointsSerie(bool secondaryHorizontal = false);
    CChartLineSerie *AddLineSerie();
    CChartCrossHairCursor *CreateCrossHairCursor();
    CChartTitle *GetTitle() const { return title.get(); }
    CChartLegend *GetLegend() const { return legend.get(); }
    int SeriesCount() const { return static_cast<int>(series.size()); }

    void Redraw();
    void EnableRedraw(bool enable);
    void ResetZoom();
    double GetMouseInfo(int selector);

    void SetBackColor(QColor colour);
    QColor GetBackColor() const { return backgroundColour; }
    void SetBackGradient(bool on);
    void SetBorderColor(QColor colour);
    void SetZoomEnabled(bool on) { zoomEnabled = on; }

    ChartRect PlottingRect() const { return plottingRect; }
    const QImage &BackBuffer() const { return backBuffer; }
    int RefreshCount() const { return refreshCount; }
    int MouseEventState() const { return mouseEventState; }

    static QColor DefaultColour(int number);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

    virtual void PaintBackground(QPainter *painter, const ChartRect &rect) const;
    virtual void PaintChart(QPainter *painter, const ChartRect &rect);

private:
    void AddSerie(std::unique_ptr<CChartSerie> serie, bool secondaryHorizontal);
    void ZoomTo(QPoint start, QPoint end);

    QImage backBuffer;
    int refreshLock = 1;
    bool refreshPending = false;
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
