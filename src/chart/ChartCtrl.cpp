// The chart control: layout, back buffer, painting, mouse events and zoom.
#include "ChartCtrl.h"

#include "ChartAccessible.h"
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
#include <QPaintEvent>
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

// The dialog's font: the chart's texts have their given sizes at it.
constexpr double kDialogFontPoints = 8;
} // namespace

QColor CChartCtrl::DefaultColour(int number)
{
    return QColor::fromRgb(kDefaultColours[static_cast<std::size_t>(number % 10)]);
}

CChartCtrl::CChartCtrl(QWidget *parent)
    : QWidget(parent), legend(std::make_unique<CChartLegend>()), title(std::make_unique<CChartTitle>())
{
    CChartAccessible::Install();
    backgroundColour = palette().color(QPalette::Button);
    gradientColour1 = gradientColour2 = backgroundColour;
    setAttribute(Qt::WA_OpaquePaintEvent); // the back buffer covers everything
    setMouseTracking(true);
    FollowFont();
}

double CChartCtrl::FontScale() const
{
    const QFont &widgetFont = font();
    double points = widgetFont.pointSizeF();
    if (points <= 0) // a font sized in pixels
        points = widgetFont.pixelSize() * 72.0 / std::max(logicalDpiY(), 1);
    return points > 0 ? points / kDialogFontPoints : 1;
}

QFont CChartCtrl::ScaledFont(double points) const
{
    QFont scaled = font();
    scaled.setPointSizeF(points * FontScale());
    return scaled;
}

void CChartCtrl::FollowFont()
{
    const double scale = FontScale();
    for (auto &axis : axes) {
        if (axis)
            axis->FollowFont(ScaledFont(CChartAxis::kLabelFontPoints), ScaledFont(CChartAxis::kTitleFontPoints), scale);
    }
    title->font = ScaledFont(CChartTitle::kFontPoints);
    legend->font.setPointSizeF(CChartTitle::kFontPoints * scale);
    for (auto &[id, serie] : series)
        serie->FollowFont();
}

void CChartCtrl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FollowFont();
        Redraw();
    }
}

CChartCtrl::~CChartCtrl() = default;

CChartStandardAxis *CChartCtrl::AddStandardAxis(int position)
{
    auto axis = std::make_unique<CChartStandardAxis>(this, position);
    CChartStandardAxis *raw = axis.get();
    raw->FollowFont(ScaledFont(CChartAxis::kLabelFontPoints), ScaledFont(CChartAxis::kTitleFontPoints), FontScale());
    axes[static_cast<std::size_t>(position)] = std::move(axis);
    return raw;
}

CChartTimeAxis *CChartCtrl::AddTimeAxis(int position)
{
    auto axis = std::make_unique<CChartTimeAxis>(this, position);
    CChartTimeAxis *raw = axis.get();
    raw->FollowFont(ScaledFont(CChartAxis::kLabelFontPoints), ScaledFont(CChartAxis::kTitleFontPoints), FontScale());
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
    serie->FollowFont();
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
        Refresh();
    }
}

void CChartCtrl::Redraw()
{
    redrawAllPending = true;
    Refresh();
}

void CChartCtrl::RefreshSeries()
{
    Refresh();
}

void CChartCtrl::Refresh()
{
    if (refreshLock < 1) {
        refreshPending = true;
        return;
    }
    const ChartRect client{0, 0, width(), height()};
    const qreal ratio = devicePixelRatioF();
    // Series change far more often than the frame: the frame layer is redrawn only when what it
    // shows has changed, and each redraw starts from a copy of it.
    FrameState state = CurrentFrameState();
    const bool frameChanged = !frameState || !(*frameState == state);
    if (frameChanged) {
        const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo({1, 1});
        frameLayer = QImage(pixels, QImage::Format_RGB32);
        frameLayer.setDevicePixelRatio(ratio);
        QPainter painter(&frameLayer);
        PaintBackground(&painter, client);
        PaintFrame(&painter, client.Inflated(-3, -3));
        frameState = std::move(state);
        underlayLayers = 0;
    }
    const bool all = redrawAllPending || frameChanged || backBuffer.size() != frameLayer.size() ||
                     backBuffer.devicePixelRatio() != frameLayer.devicePixelRatio();
    redrawAllPending = false;
    if (!all && RedrawChanged())
        return;
    ++refreshCount;
    underlayLayers = 0; // drawn from other layers, or in another order
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

std::vector<CChartCtrl::Layer> CChartCtrl::DrawingOrder() const
{
    // By z-order, then by id (the map's order); stable, so equal z keeps the order of adding. Labels
    // come last, over every series.
    std::vector<Layer> order;
    order.reserve(2 * series.size());
    for (auto &[id, serie] : series)
        order.push_back({serie.get(), false});
    std::stable_sort(order.begin(), order.end(),
                     [](const Layer &a, const Layer &b) { return a.serie->ZOrder() < b.serie->ZOrder(); });
    for (std::size_t i = 0, n = order.size(); i < n; ++i)
        order.push_back({order[i].serie, true});
    return order;
}

bool CChartCtrl::Changed(const Layer &layer)
{
    return layer.serie->ChangedSinceDrawn();
}

QRect CChartCtrl::Extent(const Layer &layer)
{
    return layer.labels ? layer.serie->LabelsExtent() : layer.serie->Extent();
}

QRect CChartCtrl::Damage(const Layer &layer)
{
    return layer.labels ? layer.serie->LabelsDamage() : layer.serie->Damage();
}

void CChartCtrl::DrawLayer(QPainter *painter, const Layer &layer, const QRect *area) const
{
    if (layer.labels) {
        painter->save();
        painter->setClipRect(plottingRect.ToQRect(), Qt::IntersectClip);
        layer.serie->DrawLabels(painter);
        painter->restore();
    } else if (area) {
        layer.serie->DrawIn(painter, *area);
    } else {
        layer.serie->DrawAll(painter);
    }
}

void CChartCtrl::PaintSeries(QPainter *painter)
{
    const ChartRect seriesRect{plottingRect.left, plottingRect.top, plottingRect.right + 1, plottingRect.bottom + 1};
    for (auto &[id, serie] : series)
        serie->SetPlottingRect(seriesRect);
    drawnOrder = DrawingOrder();
    for (const Layer &layer : drawnOrder)
        DrawLayer(painter, layer);
    for (auto &[id, serie] : series)
        serie->MarkDrawn();
}

bool CChartCtrl::RedrawChanged()
{
    const std::vector<Layer> order = DrawingOrder();
    if (order != drawnOrder)
        return false;
    const auto firstChanged = std::find_if(order.begin(), order.end(), &CChartCtrl::Changed);
    if (firstChanged == order.end())
        return true; // nothing to draw
    const auto changed = static_cast<std::size_t>(firstChanged - order.begin());

    // What the changed layers drew last time and draw now; everything else on the buffer stands.
    QRect area;
    for (std::size_t i = changed; i < order.size(); ++i) {
        if (Changed(order[i]))
            area |= Damage(order[i]);
    }
    area &= rect();
    ++refreshCount;
    if (!area.isEmpty()) {
        // The layers under the lowest changed one are drawn once into the underlay and kept while
        // they stay unchanged; with none under it, the frame layer is the underlay.
        if (underlayLayers > changed)
            underlayLayers = 0;
        if (changed > 0 && underlayLayers < changed) {
            if (underlayLayers == 0) {
                if (underlay.size() != frameLayer.size() || underlay.format() != frameLayer.format())
                    underlay = QImage(frameLayer.size(), frameLayer.format());
                underlay.setDevicePixelRatio(frameLayer.devicePixelRatio());
                std::memcpy(underlay.bits(), frameLayer.constBits(),
                            static_cast<std::size_t>(frameLayer.sizeInBytes()));
            }
            QPainter painter(&underlay);
            for (std::size_t i = underlayLayers; i < changed; ++i)
                DrawLayer(&painter, order[i]);
            underlayLayers = changed;
        }
        const QImage &source = changed > 0 ? underlay : frameLayer;

        // In device pixels, on whole pixels; the clip below is the very same pixels.
        const qreal ratio = backBuffer.devicePixelRatio();
        const QRect pixels =
            QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio).toAlignedRect() &
            backBuffer.rect();
        const qsizetype bytesPerPixel = backBuffer.depth() / 8;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            std::memcpy(backBuffer.scanLine(y) + pixels.left() * bytesPerPixel,
                        source.constScanLine(y) + pixels.left() * bytesPerPixel,
                        static_cast<std::size_t>(pixels.width() * bytesPerPixel));
        const QRectF clip(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio);
        const QRect logical = clip.toAlignedRect();
        QPainter painter(&backBuffer);
        painter.setClipRect(clip);
        for (std::size_t i = changed; i < order.size(); ++i) {
            const Layer &layer = order[i];
            if (Changed(layer) || Extent(layer).intersects(logical))
                DrawLayer(&painter, layer, &logical);
        }
        painter.end();
        update(logical);
    }
    for (std::size_t i = changed; i < order.size(); ++i) {
        if (!order[i].labels)
            order[i].serie->MarkDrawn();
    }
    return true;
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

void CChartCtrl::paintEvent(QPaintEvent *event)
{
    if (!firstPaintDone || backBuffer.devicePixelRatio() != devicePixelRatioF()) {
        firstPaintDone = true;
        Redraw();
    }
    QPainter painter(this);
    const QRect area = event->rect();
    const qreal ratio = backBuffer.devicePixelRatio();
    painter.drawImage(area, backBuffer,
                      QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
    if (zoomEnabled && zoomDragActive) {
        painter.setPen(QPen(zoomRectColour, 0));
        painter.drawPolyline(QPolygon(
            {zoomStart, QPoint(zoomEnd.x(), zoomStart.y()), zoomEnd, QPoint(zoomStart.x(), zoomEnd.y()), zoomStart}));
    }
    if (hasFocus()) {
        // Over the raised edge, where it covers nothing of the chart: the highlight colour, and a
        // dark line inside it that shows on a light background too.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        painter.setPen(QPen(palette().color(QPalette::WindowText), 0, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void CChartCtrl::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void CChartCtrl::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
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
                // Only the part inside the plot counts: values beyond its edges were never on show,
                // and a drag that ends past the axis must not bring them in.
                const auto inPlot = [this](QPoint p) {
                    return QPoint(std::clamp(p.x(), plottingRect.left, std::max(plottingRect.left, plottingRect.right)),
                                  std::clamp(p.y(), plottingRect.top, std::max(plottingRect.top, plottingRect.bottom)));
                };
                const QPoint from = inPlot(zoomStart);
                const QPoint to = inPlot(zoomEnd);
                if (from.x() != to.x() && from.y() != to.y()) {
                    ZoomTo(from, to);
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
