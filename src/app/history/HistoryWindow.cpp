// The history window: keeping the chart in step with the history, following, zoom and pan.
#include "HistoryWindow.h"

#include "ChartCtrl.h"
#include "ChartEventSerie.h"
#include "ChartStandardAxis.h"
#include "ChartStripSerie.h"
#include "ChartTimeAxis.h"
#include "ReadingHistory.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScopeGuard>
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
// PWM a little beyond 0..100, so 0 % and 100 % stay clear of the plot's border.
constexpr double kPwmLow = -3;
constexpr double kPwmHigh = 103;
// One wheel notch moves a tenth of the span.
constexpr double kPanPerNotch = 0.1;

QString ValueTitle(InputKind kind)
{
    return kind == InputKind::Temperature ? QStringLiteral("Temperature(°C)") : QStringLiteral("Voltage(V)");
}
} // namespace

CHistoryWindow::CHistoryWindow(const ReadingHistory &history, QWidget *parent)
    : QWidget(parent, Qt::Window), history(history)
{
    setWindowTitle(QStringLiteral("History - Tamlin Orvex Interface"));
    resize(900, 520);

    chart = new CChartCtrl(this);
    chart->setMinimumSize(400, 250);
    chart->EnableRedraw(false);
    chart->SetBackColor(Qt::white);
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
    alarmMarks->SetTextFunction([](double code) { return QStringLiteral("Alarm %1").arg(static_cast<int>(code)); });
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

    FollowLive();
    chart->EnableRedraw(true);
}

void CHistoryWindow::SetFollowing(bool on)
{
    following = on;
    followButton->setEnabled(!on);
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
        // The whole session, or the live span where the session is shorter.
        const double end = history.IsEmpty() ? timeAxis->GetMax() : static_cast<double>(history.LastTime());
        const double start = history.IsEmpty() ? end - kLiveSpanMs
                                               : std::min(static_cast<double>(history.FirstTime()), end - kLiveSpanMs);
        ShowSpan(start, end);
        FitValueAxis();
    }
    chart->EnableRedraw(true);
}

void CHistoryWindow::PanBy(double fraction)
{
    chart->EnableRedraw(false);
    Sync();
    SetFollowing(false);
    const double span = timeAxis->GetMax() - timeAxis->GetMin();
    double start = timeAxis->GetMin() + fraction * span;
    // At least half the span keeps to the session.
    if (!history.IsEmpty())
        start = std::clamp(start, static_cast<double>(history.FirstTime()) - span / 2,
                           std::max(static_cast<double>(history.LastTime()) - span / 2,
                                    static_cast<double>(history.FirstTime()) - span / 2));
    ShowSpan(start, start + span);
    chart->EnableRedraw(true);
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
    return QWidget::eventFilter(watched, event);
}

void CHistoryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (following)
        FollowLive();
    else
        Sync();
}
