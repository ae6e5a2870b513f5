// The chart control: layout, back buffer, painting, mouse events and zoom.
#include "ChartCtrl.h"

#include "ChartBalloonLabel.h"
#include "ChartCrossHairCursor.h"
#include "ChartEventSerie.h"
#include "ChartLegend.h"
#include "ChartLineSerie.h"
#include "ChartPaint.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"
#include "ChartStripSerie.h"
#include "ChartTimeAxis.h"
#include "ChartTitle.h"
#include "ChartTrailSerie.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {
// Series take these in turn as they are added.
constexpr std::array<QRgb, 10> kDefaultColours = {
    qRgb(255, 0, 0),   qRgb(0, 150, 0),   qRgb(0, 0, 255),   qRgb(255, 255, 0), qRgb(0, 255, 255),
    qRgb(255, 128, 0), qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(255, 0, 255), qRgb(64, 128, 128),
};

int nextSerieId = 0; // program-wide, as series ids are

constexpr int kAxisOrder[] = {CChartAxis::Left, CChartAxis::Bottom, CChartAxis::Right, CChartAxis::Top};
} // namespace

QColor CChartCtrl::DefaultColour(int number)
{
    return QColor::fromRgb(kDefaultColours[static_cast<std::size_t>(number % 10)]);
}

CChartCtrl::CChartCtrl(QWidget *parent)
    : QWidget(parent), legend(std::make_unique<CChartLegend>()), title(std::make_unique<CChartTitle>())
{
    backgroundColour = palette().color(QPalette::Button);
    gradientColour1 = gradientColour2 = backgroundColour;
    setAttribute(Qt::WA_OpaquePaintEvent); // the back buffer covers everything
    setMouseTracking(true);
}

CChartCtrl::~CChartCtrl() = default;

CChartStandardAxis *CChartCtrl::AddStandardAxis(int position)
{
    auto axis = std::make_unique<CChartStandardAxis>(this, position);
    CChartStandardAxis *raw = axis.get();
    axes[static_cast<std::size_t>(position)] = std::move(axis);
    return raw;
}

CChartTimeAxis *CChartCtrl::AddTimeAxis(int position)
{
    auto axis = std::make_unique<CChartTimeAxis>(this, position);
    CChartTimeAxis *raw = axis.get();
    axes[static_cast<std::size_t>(position)] = std::move(axis);
    return raw;
}

void CChartCtrl::AddSerie(std::unique_ptr<CChartSerie> serie, bool secondaryHorizontal, bool secondaryVertical)
{
    EnableRedraw(false);
    serie->SetPlottingRect(plottingRect);
    serie->SetColor(DefaultColour(static_cast<int>(series.size())));
    CChartAxis *horizontal = GetAxis(secondaryHorizontal ? CChartAxis::Top : CChartAxis::Bottom);
    CChartAxis *vertical = GetAxis(secondaryVertical ? CChartAxis::Right : CChartAxis::Left);
    serie->SetAxes(horizontal, vertical);
    series[serie->GetId()] = std::move(serie);
    Redraw();
    EnableRedraw(true);
}

template <class Serie> Serie *CChartCtrl::AddSerieOf(bool secondaryHorizontal, bool secondaryVertical)
{
    auto serie = std::make_unique<Serie>(this, nextSerieId++);
    Serie *raw = serie.get();
    AddSerie(std::move(serie), secondaryHorizontal, secondaryVertical);
    return raw;
}

CChartPointsSerie *CChartCtrl::AddPointsSerie(bool secondaryHorizontal)
{
    return AddSerieOf<CChartPointsSerie>(secondaryHorizontal);
}

CChartLineSerie *CChartCtrl::AddLineSerie()
{
    return AddSerieOf<CChartLineSerie>(true);
}

CChartStripSerie *CChartCtrl::AddStripSerie(bool rightAxis)
{
    return AddSerieOf<CChartStripSerie>(false, rightAxis);
}

CChartEventSerie *CChartCtrl::AddEventSerie()
{
    return AddSerieOf<CChartEventSerie>(false);
}

CChartTrailSerie *CChartCtrl::AddTrailSerie(bool secondaryHorizontal)
{
    return AddSerieOf<CChartTrailSerie>(secondaryHorizontal);
}

CChartCrossHairCursor *CChartCtrl::CreateCrossHairCursor()
{
    auto cursor = std::make_unique<CChartCrossHairCursor>(GetAxis(CChartAxis::Bottom), GetAxis(CChartAxis::Left));
    CChartCrossHairCursor *raw = cursor.get();
    cursors[nextCursorId++] = std::move(cursor);
    return raw;
}

void CChartCtrl::EnableRedraw(bool enable)
{
    refreshLock += enable ? 1 : -1;
    if (refreshLock >= 1 && refreshPending) {
        refreshPending = false;
        Redraw();
    }
}

void CChartCtrl::Redraw()
{
    if (refreshLock < 1) {
        refreshPending = true;
        return;
    }
    const ChartRect client{0, 0, width(), height()};
    const qreal ratio = devicePixelRatioF();
    ++refreshCount;
    // Series change far more often than the frame: the frame layer is redrawn only when what it
    // shows has changed, and each redraw starts from a copy of it.
    FrameState state = CurrentFrameState();
    if (!frameState || !(*frameState == state)) {
        const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo({1, 1});
        frameLayer = QImage(pixels, QImage::Format_RGB32);
        frameLayer.setDevicePixelRatio(ratio);
        QPainter painter(&frameLayer);
        PaintBackground(&painter, client);
        PaintFrame(&painter, client.Inflated(-3, -3));
        frameState = std::move(state);
    }
    // Copied into the buffer we already have: a fresh megabyte each time costs page faults.
    if (backBuffer.size() != frameLayer.size() || backBuffer.format() != frameLayer.format())
        backBuffer = QImage(frameLayer.size(), frameLayer.format());
    backBuffer.setDevicePixelRatio(frameLayer.devicePixelRatio());
    std::memcpy(backBuffer.bits(), frameLayer.constBits(), static_cast<std::size_t>(frameLayer.sizeInBytes()));
    QPainter painter(&backBuffer);
    PaintSeries(&painter);
    painter.end();
    update();
}

void CChartCtrl::PaintBackground(QPainter *painter, const ChartRect &rect) const
{
    const QRect area = rect.ToQRect();
    if (backGradient) {
        QLinearGradient gradient(area.topLeft(), area.bottomLeft());
        gradient.setColorAt(0, gradientColour1);
        gradient.setColorAt(1, gradientColour2);
        painter->fillRect(area, gradient);
    } else {
        painter->fillRect(area, backgroundColour);
    }
    // Raised edge: light outside top-left, dark outside bottom-right.
    const QPalette &pal = palette();
    const int r = rect.right - 1;
    const int b = rect.bottom - 1;
    FillHLine(painter, rect.left, r - 1, rect.top, pal.color(QPalette::Light));
    FillVLine(painter, rect.left, rect.top, b - 1, pal.color(QPalette::Light));
    FillHLine(painter, rect.left, r, b, pal.color(QPalette::Shadow));
    FillVLine(painter, r, rect.top, b, pal.color(QPalette::Shadow));
    FillHLine(painter, rect.left + 1, r - 2, rect.top + 1, pal.color(QPalette::Midlight));
    FillVLine(painter, rect.left + 1, rect.top + 1, b - 2, pal.color(QPalette::Midlight));
    FillHLine(painter, rect.left + 1, r - 1, b - 1, pal.color(QPalette::Dark));
    FillVLine(painter, r - 1, rect.top + 1, b - 1, pal.color(QPalette::Dark));
}

CChartCtrl::FrameState CChartCtrl::CurrentFrameState() const
{
    FrameState state{size(),
                     devicePixelRatioF(),
                     backgroundColour.rgb(),
                     backGradient,
                     gradientColour1.rgb(),
                     gradientColour2.rgb(),
                     borderColour.rgb(),
                     palette().cacheKey(),
                     title->Size(),
                     {}};
    for (std::size_t i = 0; i < axes.size(); ++i) {
        if (axes[i])
            state.axes[i] = axes[i]->FrameState();
    }
    return state;
}

void CChartCtrl::PaintChart(QPainter *painter, const ChartRect &rect)
{
    PaintFrame(painter, rect);
    PaintSeries(painter);
}

void CChartCtrl::PaintFrame(QPainter *painter, const ChartRect &rect)
{
    ChartRect chartRect = rect;
    plottingRect = rect;
    const QSize titleSize = title->Size();
    if (titleSize.height() > 0) {
        title->draw(painter, QRect(rect.left, rect.top, rect.Width(), titleSize.height()));
        plottingRect.top += titleSize.height();
        chartRect.top = plottingRect.top;
    }

    for (int position : kAxisOrder) {
        if (CChartAxis *axis = GetAxis(position)) {
            axis->SetAxisSize(plottingRect);
            axis->ComputeTickStep();
            axis->ComputeFirstTick();
            axis->TakeMargin(plottingRect, chartRect);
        }
    }
    for (int position : kAxisOrder) {
        if (CChartAxis *axis = GetAxis(position)) {
            axis->SetAxisSize(plottingRect);
            axis->ComputeTickStep();
            axis->ComputeFirstTick();
            axis->draw(painter, plottingRect, chartRect);
        }
    }

    const int l = plottingRect.left, t = plottingRect.top, r = plottingRect.right, b = plottingRect.bottom;
    FillHLine(painter, l, r, t, borderColour);
    FillVLine(painter, r, t, b, borderColour);
    FillHLine(painter, l, r, b, borderColour);
    FillVLine(painter, l, t, b, borderColour);
}

void CChartCtrl::PaintSeries(QPainter *painter)
{
    const ChartRect seriesRect{plottingRect.left, plottingRect.top, plottingRect.right + 1, plottingRect.bottom + 1};
    // By z-order, then by id (the map's order); stable, so equal z keeps the order of adding.
    std::vector<CChartSerie *> order;
    order.reserve(series.size());
    for (auto &[id, serie] : series)
        order.push_back(serie.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const CChartSerie *a, const CChartSerie *b) { return a->ZOrder() < b->ZOrder(); });
    for (CChartSerie *serie : order) {
        serie->SetPlottingRect(seriesRect);
        serie->DrawAll(painter);
    }
    painter->save();
    painter->setClipRect(plottingRect.ToQRect());
    for (CChartSerie *serie : order)
        serie->DrawLabels(painter);
    painter->restore();
}

void CChartCtrl::paintEvent(QPaintEvent *)
{
    if (!firstPaintDone || backBuffer.devicePixelRatio() != devicePixelRatioF()) {
        firstPaintDone = true;
        Redraw();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, backBuffer);
    if (zoomEnabled && zoomDragActive) {
        painter.setPen(QPen(zoomRectColour, 0));
        painter.drawPolyline(QPolygon(
            {zoomStart, QPoint(zoomEnd.x(), zoomStart.y()), zoomEnd, QPoint(zoomStart.x(), zoomEnd.y()), zoomStart}));
    }
}

void CChartCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    backBuffer = QImage();
    frameState.reset();
    Redraw();
}

void CChartCtrl::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    mouseEventState = NoEvent;
    if (zoomDragActive) {
        zoomEnd = point;
        update();
    }
    if (plottingRect.Contains(point.x(), point.y())) {
        for (auto &[id, cursor] : cursors)
            cursor->OnMouseMove(point.x(), point.y());
        update();
        mouseEventState = Moved;
        eventPoint = point;
    }
    QWidget::mouseMoveEvent(event);
}

void CChartCtrl::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (zoomEnabled) {
            zoomDragActive = true;
            zoomStart = zoomEnd = point;
        }
        if (plottingRect.Contains(point.x(), point.y())) {
            for (auto &[id, cursor] : cursors)
                cursor->OnMouseButtonDown(point.x(), point.y());
            update();
            mouseEventState = LeftDown;
            eventPoint = point;
        }
    } else if (event->button() == Qt::RightButton) {
        eventPoint = point;
        mouseEventState = RightDown;
    }
    QWidget::mousePressEvent(event);
}

void CChartCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (zoomEnabled && zoomDragActive) {
            zoomDragActive = false;
            zoomEnd = point;
            if (zoomStart.x() <= zoomEnd.x() && zoomStart.y() <= zoomEnd.y()) {
                if (zoomStart.x() != zoomEnd.x() && zoomStart.y() != zoomEnd.y()) {
                    ZoomTo(zoomStart, zoomEnd);
                    emit zoomedByMouse(false);
                }
            } else {
                ResetZoom();
                emit zoomedByMouse(true);
            }
            update();
        }
        if (plottingRect.Contains(point.x(), point.y())) {
            for (auto &[id, cursor] : cursors)
                cursor->OnMouseButtonUp(point.x(), point.y());
            update();
        }
    }
    QWidget::mouseReleaseEvent(event);
}

void CChartCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        eventPoint = event->position().toPoint();
        mouseEventState = DoubleClick;
    } else if (event->button() == Qt::RightButton) {
        eventPoint = event->position().toPoint();
        mouseEventState = RightDown; // the second press of a right double-click is still a press
    }
    // Not the base handler: it would pass the double-click on as a press and overwrite the record.
    event->accept();
}

void CChartCtrl::ZoomTo(QPoint start, QPoint end)
{
    EnableRedraw(false);
    for (int position : kAxisOrder) {
        CChartAxis *axis = GetAxis(position);
        if (!axis)
            continue;
        if (axis->IsHorizontal())
            axis->SetZoomRange(axis->PixelToValue(start.x()), axis->PixelToValue(end.x()));
        else
            axis->SetZoomRange(axis->PixelToValue(end.y()), axis->PixelToValue(start.y()));
    }
    Redraw();
    EnableRedraw(true);
}

void CChartCtrl::ResetZoom()
{
    EnableRedraw(false);
    for (auto &axis : axes) {
        if (axis)
            axis->UndoZoom();
    }
    Redraw();
    EnableRedraw(true);
}

double CChartCtrl::GetMouseInfo(MouseInfo what)
{
    switch (what) {
    case MouseInfo::Reset: mouseEventState = NoEvent; return 0;
    case MouseInfo::State: return mouseEventState;
    case MouseInfo::BottomValue:
        return GetAxis(CChartAxis::Bottom) ? GetAxis(CChartAxis::Bottom)->PixelToValue(eventPoint.x()) : 0;
    case MouseInfo::LeftValue:
        return GetAxis(CChartAxis::Left) ? GetAxis(CChartAxis::Left)->PixelToValue(eventPoint.y()) : 0;
    case MouseInfo::TopValue:
        return GetAxis(CChartAxis::Top) ? GetAxis(CChartAxis::Top)->PixelToValue(eventPoint.x()) : 0;
    }
    return 0;
}

void CChartCtrl::SetBackColor(QColor colour)
{
    backgroundColour = colour;
    Redraw();
}

void CChartCtrl::SetBackGradient(bool on)
{
    backGradient = on;
    Redraw();
}

void CChartCtrl::SetBorderColor(QColor colour)
{
    borderColour = colour;
    Redraw();
}
