// The history window: keeping the chart in step with the history, following, zoom and pan.
#include "HistoryWindow.h"

#include "ChartCtrl.h"
#include "ChartEventSerie.h"
#include "ChartStandardAxis.h"
#include "ChartStripSerie.h"
#include "ChartTimeAxis.h"
#include "MonitorFrame.h"
#include "ReadingHistory.h"

#include <QAccessibleWidget>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
const QColor kValueColour{200, 40, 0};
const QColor kPwmColour{0, 90, 200};
const QColor kAlarmColour{220, 0, 0};
const QColor kHealthyColour{0, 150, 0};
const QColor kGridColour{215, 215, 215};
// Dark on the white chart: the rectangle a drag draws must show.
const QColor kZoomRectColour{40, 40, 40};
// One wheel notch or arrow key moves a tenth of the span.
constexpr double kPanPerNotch = 0.1;
// Room left on the screen for a window manager's frame and title bar, as the main window leaves.
const QSize kFrameAllowance{8, 40};

QString ValueTitle(InputKind kind)
{
    return kind == InputKind::Temperature ? QStringLiteral("Temperature(°C)") : QStringLiteral("Voltage(V)");
}

// Assistive technology meets the window as a window with its title, not as a bare pane.
QAccessibleInterface *WindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("CHistoryWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

QString TimeText(double timeMs, bool withDate)
{
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(timeMs)));
    return time.toString(withDate ? QStringLiteral("dd MMM hh:mm:ss") : QStringLiteral("hh:mm:ss"));
}
} // namespace

QString CHistoryWindow::AlarmMarkText(int code, InputKind kind)
{
    const std::optional<QString> text =
        AlarmText(code, kind == InputKind::Voltage ? MonitorReading::Voltage : MonitorReading::Temperature);
    // A code the monitor shows no text for is still a change worth marking.
    return text ? text->simplified() : QStringLiteral("Alarm %1").arg(code);
}

CHistoryWindow::CHistoryWindow(const ReadingHistory &history, QWidget *parent)
    : QWidget(parent, Qt::Window), history(history)
{
    static const bool accessible = [] {
        QAccessible::installFactory(&WindowAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setWindowTitle(QStringLiteral("History - Tamlin Orvex Interface"));
    resize(kPreferredWidth, kPreferredHeight);

    chart = new CChartCtrl(this);
    chart->setMinimumSize(320, 200);
    chart->setFocusPolicy(Qt::StrongFocus);
    chart->setAccessibleName(QStringLiteral("Reading and PWM history"));
    chart->setToolTip(QStringLiteral("Drag a rectangle to zoom in, the other way to see the whole session; the wheel "
                                     "or Left and Right go back and forth in time; + and - zoom; End follows live"));
    chart->EnableRedraw(false);
    chart->SetBackColor(Qt::white);
    chart->SetZoomRectColor(kZoomRectColour);
    timeAxis = chart->AddTimeAxis(CChartAxis::Bottom);
    valueAxis = chart->AddStandardAxis(CChartAxis::Left);
    pwmAxis = chart->AddStandardAxis(CChartAxis::Right);
    pwmAxis->SetRange(kPwmLow, kPwmHigh);
    pwmAxis->GetTitle()->SetText(QStringLiteral("PWM(%)"));
    pwmAxis->GetTitle()->textColour = kPwmColour;
    // One grid is enough; the left axis draws it.
    pwmAxis->GetGrid()->visible = false;
    valueAxis->GetGrid()->colour = kGridColour;
    timeAxis->GetGrid()->colour = kGridColour;
    valueAxis->GetTitle()->textColour = kValueColour;
    SetKind(InputKind::Temperature);

    alarmMarks = chart->AddEventSerie();
    alarmMarks->SetZOrder(-1); // under the lines
    // The kind of input at the mark's time decides what its code means.
    alarmMarks->SetTextFunction([this](QPointF mark) {
        const auto [first, last] =
            this->history.IndexRange(static_cast<qint64>(mark.x()), static_cast<qint64>(mark.x()));
        const InputKind at = first < last ? this->history.KindAt(first) : kind;
        return AlarmMarkText(static_cast<int>(mark.y()), at);
    });
    alarmMarks->SetColourFunction([](double code) { return code == 0 ? kHealthyColour : kAlarmColour; });
    pwmLine = chart->AddStripSerie(true);
    pwmLine->SetColor(kPwmColour);
    pwmLine->SetWidth(2);
    pwmLine->SetGap(static_cast<double>(kGapMs));
    valueLine = chart->AddStripSerie(false);
    valueLine->SetColor(kValueColour);
    valueLine->SetWidth(2);
    valueLine->SetGap(static_cast<double>(kGapMs));
    chart->installEventFilter(this);
    connect(chart, &CChartCtrl::zoomedByMouse, this, &CHistoryWindow::OnZoomedByMouse);

    followButton = new QPushButton(QStringLiteral("Follow live"), this);
    followButton->setToolTip(QStringLiteral("Show the last 10 minutes and keep up with new readings"));
    connect(followButton, &QPushButton::clicked, this, &CHistoryWindow::FollowLive);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(followButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(chart, 1);
    layout->addLayout(buttons);
    setTabOrder(chart, followButton);
    chart->setFocus();

    FitToScreen();
    FollowLive();
    chart->EnableRedraw(true);
}

void CHistoryWindow::FitToScreen()
{
    const QScreen *shownOn = screen();
    if (!shownOn)
        return;
    const QRect room = shownOn->availableGeometry();
    // The frame is known only once a window manager has framed the window; until then leave room
    // for one.
    const QSize frame = frameGeometry().size() - geometry().size();
    const bool framed = frame.width() > 0 || frame.height() > 0;
    const QSize most = room.size() - (framed ? frame : kFrameAllowance);
    const QSize fitted = size().boundedTo(most).expandedTo(minimumSizeHint().boundedTo(most));
    if (fitted != size())
        resize(fitted);
    // Back inside the free area, whole, where it was placed partly off it.
    if (testAttribute(Qt::WA_Moved) || isVisible()) {
        QRect placed = frameGeometry();
        if (!room.contains(placed)) {
            placed.moveRight(std::min(placed.right(), room.right()));
            placed.moveBottom(std::min(placed.bottom(), room.bottom()));
            placed.moveLeft(std::max(placed.left(), room.left()));
            placed.moveTop(std::max(placed.top(), room.top()));
            move(placed.topLeft());
        }
    }
}

void CHistoryWindow::SetFollowing(bool on)
{
    if (!on && followButton->hasFocus())
        chart->setFocus(); // the button is about to be enabled; keep the keys on the chart
    following = on;
    followButton->setEnabled(!on);
    // Disabling the focused button would leave the focus nowhere.
    if (on && !chart->hasFocus() && focusWidget() == followButton)
        chart->setFocus();
}

void CHistoryWindow::SetKind(InputKind value)
{
    kind = value;
    valueAxis->GetTitle()->SetText(ValueTitle(kind));
}

void CHistoryWindow::Sync()
{
    if (history.Epoch() != syncedEpoch || history.Size() < synced)
        ClearSeries();
    if (synced >= history.Size())
        return;
    chart->EnableRedraw(false);
    const auto redraw = qScopeGuard([this] { chart->EnableRedraw(true); });
    for (int i = synced; i < history.Size(); ++i) {
        const HistoryReading reading = history.At(i);
        const auto t = static_cast<double>(reading.timeMs);
        // Degrees and volts are not one line.
        if (i > 0 && reading.kind != history.KindAt(i - 1))
            valueLine->AppendPoint(QPointF(t, std::numeric_limits<double>::quiet_NaN()));
        valueLine->AppendPoint(QPointF(t, reading.value));
        pwmLine->AppendPoint(QPointF(t, reading.pwmPercent));
        // A change of code is marked; so is an alarm already on when the session starts.
        if (reading.alarm != ReadingHistory::kNoAlarm && reading.alarm != lastAlarm) {
            if (lastAlarm != ReadingHistory::kNoAlarm || reading.alarm != 0)
                alarmMarks->AddEvent(t, reading.alarm);
            lastAlarm = reading.alarm;
        }
    }
    synced = history.Size();
    if (history.KindAt(synced - 1) != kind)
        SetKind(history.KindAt(synced - 1));
    UpdateDescription();
}

void CHistoryWindow::ClearSeries()
{
    valueLine->RemoveAllPoints();
    pwmLine->RemoveAllPoints();
    alarmMarks->RemoveAllPoints();
    synced = 0;
    lastAlarm = ReadingHistory::kNoAlarm;
    syncedEpoch = history.Epoch();
}

void CHistoryWindow::Rebuild()
{
    chart->EnableRedraw(false);
    ClearSeries();
    Sync();
    if (following)
        FollowLive();
    chart->EnableRedraw(true);
}

void CHistoryWindow::ShowSpan(double from, double to)
{
    timeAxis->SetRange(from, to);
    UpdateDescription();
}

QString CHistoryWindow::SpanDescription() const
{
    const QString quantity = kind == InputKind::Temperature ? QStringLiteral("Temperature") : QStringLiteral("Voltage");
    const double from = timeAxis->GetMin();
    const double to = timeAxis->GetMax();
    // Following, the span moves with every reading: said to the minute, so a screen reader is not
    // told something new each second.
    if (following)
        return QStringLiteral("%1 and PWM over the last 10 minutes up to %2, following live")
            .arg(quantity, QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(to)).toString(QStringLiteral("hh:mm")));
    const auto [first, last] =
        history.IndexRange(static_cast<qint64>(std::ceil(from)), static_cast<qint64>(std::floor(to)));
    const bool withDate = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(from)).date() !=
                          QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(to)).date();
    const int readings = last - first;
    return QStringLiteral("%1 and PWM from %2 to %3, %4")
        .arg(quantity, TimeText(from, withDate), TimeText(to, withDate),
             readings == 1 ? QStringLiteral("1 reading") : QStringLiteral("%1 readings").arg(readings));
}

void CHistoryWindow::UpdateDescription()
{
    // Said only when it changes: each change is an event for a screen reader.
    const QString text = SpanDescription();
    if (text != chart->accessibleDescription())
        chart->setAccessibleDescription(text);
}

void CHistoryWindow::FitValueAxis()
{
    // The shown kind's readings in view, on whole steps of 5 degC or 0.5 V with a little room.
    const auto [first, last] = history.IndexRange(static_cast<qint64>(std::floor(timeAxis->GetMin())),
                                                  static_cast<qint64>(std::ceil(timeAxis->GetMax())));
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int i = first; i < last; ++i) {
        const double v = history.ValueAt(i);
        if (std::isfinite(v) && history.KindAt(i) == kind) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    const bool temperature = kind == InputKind::Temperature;
    const double unit = temperature ? 5 : 0.5;
    if (!(low <= high)) {
        low = 0;
        high = temperature ? 50 : 10;
    }
    const double pad = unit / 5;
    double bottom = std::floor((low - pad) / unit) * unit;
    double top = std::ceil((high + pad) / unit) * unit;
    if (low >= 0 && bottom < 0)
        bottom = 0;
    if (top - bottom < 2 * unit)
        top = bottom + 2 * unit;
    valueAxis->SetRange(bottom, top);
}

void CHistoryWindow::FollowLive()
{
    chart->EnableRedraw(false);
    Sync();
    SetFollowing(true);
    const double end = history.IsEmpty() ? static_cast<double>(QDateTime::currentMSecsSinceEpoch())
                                         : static_cast<double>(history.LastTime());
    ShowSpan(end - kLiveSpanMs, end);
    FitValueAxis();
    pwmAxis->SetRange(kPwmLow, kPwmHigh);
    UpdateDescription();
    chart->EnableRedraw(true);
}

void CHistoryWindow::OnReadingAdded()
{
    if (history.Size() < synced || history.Epoch() != syncedEpoch) {
        Rebuild();
        return;
    }
    if (history.Size() == synced || !isVisible())
        return; // the next show brings it in
    if (following) {
        FollowLive();
        return;
    }
    // Zoomed or panned into the past: nothing changes on screen unless the line into the new readings
    // reaches the shown span, or the reading's kind retitles the axis.
    const int next = synced;
    const qint64 from = history.TimeAt(next > 0 ? next - 1 : next);
    if (static_cast<double>(from) <= timeAxis->GetMax() || history.KindAt(history.Size() - 1) != kind)
        Sync();
}

void CHistoryWindow::OnZoomedByMouse(bool zoomedOut)
{
    chart->EnableRedraw(false);
    Sync();
    SetFollowing(false);
    if (zoomedOut) {
        ShowWholeSession();
    } else {
        // A rectangle over a stretch with no readings would show nothing: it moves to the nearest ones.
        const double from = timeAxis->GetMin();
        const double span = timeAxis->GetMax() - from;
        const auto [first, last] =
            history.IndexRange(static_cast<qint64>(std::ceil(from)), static_cast<qint64>(std::floor(from + span)));
        if (first == last && !history.IsEmpty()) {
            const double start = KeptToSession(from, span);
            timeAxis->SetZoomRange(start, start + span);
        }
        // The PWM axis never shows more than 0..100 % with its margin.
        pwmAxis->SetZoomRange(std::max(pwmAxis->GetMin(), kPwmLow), std::min(pwmAxis->GetMax(), kPwmHigh));
        UpdateDescription();
        chart->Redraw();
    }
    chart->EnableRedraw(true);
}

void CHistoryWindow::ShowWholeSession()
{
    chart->EnableRedraw(false);
    Sync();
    SetFollowing(false);
    // The whole session, or the live span where the session is shorter.
    const double end = history.IsEmpty() ? timeAxis->GetMax() : static_cast<double>(history.LastTime());
    const double start =
        history.IsEmpty() ? end - kLiveSpanMs : std::min(static_cast<double>(history.FirstTime()), end - kLiveSpanMs);
    ShowSpan(start, end);
    FitValueAxis();
    pwmAxis->SetRange(kPwmLow, kPwmHigh);
    chart->EnableRedraw(true);
}

double CHistoryWindow::KeptToSession(double start, double span) const
{
    if (history.IsEmpty())
        return start;
    const double first = static_cast<double>(history.FirstTime());
    const double last = static_cast<double>(history.LastTime());
    // A session shorter than half the span may also sit at the span's right end, as when following.
    const double earliest = std::min(first - span / 2, last - span);
    return std::clamp(start, earliest, std::max(last - span / 2, earliest));
}

void CHistoryWindow::PanBy(double fraction)
{
    chart->EnableRedraw(false);
    Sync();
    SetFollowing(false);
    const double from = timeAxis->GetMin();
    const double span = timeAxis->GetMax() - from;
    double start = KeptToSession(from + fraction * span, span);
    // Keeping to the session may move a span that lies beyond it, but never the other way than asked:
    // back in time from a span that starts before the session is no move at all.
    start = fraction < 0 ? std::min(start, from) : std::max(start, from);
    ShowSpan(start, start + span);
    chart->EnableRedraw(true);
}

void CHistoryWindow::ZoomTime(double factor)
{
    chart->EnableRedraw(false);
    Sync();
    const double from = timeAxis->GetMin();
    const double to = timeAxis->GetMax();
    const double longest = history.IsEmpty() ? static_cast<double>(kLiveSpanMs)
                                             : std::max(static_cast<double>(kLiveSpanMs),
                                                        static_cast<double>(history.LastTime() - history.FirstTime()));
    const double span = std::clamp((to - from) * factor, static_cast<double>(kShortestSpanMs), longest);
    // While following, the live end stays where it is.
    const double anchor = following ? to : (from + to) / 2;
    const double share = following ? 1.0 : 0.5;
    SetFollowing(false);
    const double start = KeptToSession(anchor - share * span, span);
    ShowSpan(start, start + span);
    FitValueAxis();
    pwmAxis->SetRange(kPwmLow, kPwmHigh);
    chart->EnableRedraw(true);
}

void CHistoryWindow::GoToSessionStart()
{
    chart->EnableRedraw(false);
    Sync();
    SetFollowing(false);
    const double span = timeAxis->GetMax() - timeAxis->GetMin();
    const double start = history.IsEmpty() ? timeAxis->GetMin() : static_cast<double>(history.FirstTime());
    ShowSpan(start, start + span);
    chart->EnableRedraw(true);
}

bool CHistoryWindow::HandleKey(int key)
{
    switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: ZoomTime(0.5); return true;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: ZoomTime(2); return true;
    case Qt::Key_Left: PanBy(-kPanPerNotch); return true;
    case Qt::Key_Right: PanBy(kPanPerNotch); return true;
    case Qt::Key_PageUp: PanBy(-1); return true;
    case Qt::Key_PageDown: PanBy(1); return true;
    case Qt::Key_Home: GoToSessionStart(); return true;
    case Qt::Key_0: ShowWholeSession(); return true;
    case Qt::Key_End:
    case Qt::Key_F: FollowLive(); return true;
    default: return false;
    }
}

bool CHistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == chart && event->type() == QEvent::Wheel) {
        const QPoint delta = static_cast<QWheelEvent *>(event)->angleDelta();
        const int notches = delta.y() != 0 ? delta.y() : -delta.x();
        // Wheel away from the user goes back in time.
        if (notches != 0)
            PanBy(-kPanPerNotch * notches / 120.0);
        return true;
    }
    if (watched == chart && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Ctrl and Alt combinations belong to the shortcuts.
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && HandleKey(key->key()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CHistoryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FitToScreen();
    if (following)
        FollowLive();
    else
        Sync();
}
