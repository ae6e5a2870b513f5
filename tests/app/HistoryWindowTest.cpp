// Tests of the reading history and its window: order, spans, following, zoom, pan, keys, alarm
// marks, what a screen reader hears, and redraws.
#include "HistoryWindow.h"
#include "ChartCtrl.h"
#include "ChartEventSerie.h"
#include "ChartStandardAxis.h"
#include "ChartStripSerie.h"
#include "ChartTimeAxis.h"
#include "ReadingHistory.h"

#include <QAccessible>
#include <QApplication>
#include <QDateTime>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {
const qint64 kStart = QDateTime(QDate(2026, 6, 10), QTime(13, 0, 0)).toMSecsSinceEpoch();

HistoryReading At(qint64 time, float value = 30, float pwm = 50, int alarm = 0, InputKind kind = InputKind::Temperature)
{
    return {time, value, kind, pwm, alarm};
}

// A history of `minutes` at one reading a second, and its window shown.
struct HistoryWindowTest : ::testing::Test
{
    ReadingHistory history;
    std::unique_ptr<CHistoryWindow> window;

    void Open(int minutes = 30)
    {
        for (qint64 i = 0; i < minutes * 60; ++i)
            history.Append(
                At(kStart + i * kSecondMs, 20 + static_cast<float>(i % 600) / 30, static_cast<float>(i % 100)));
        window = std::make_unique<CHistoryWindow>(history);
        window->show();
    }
    void Add(qint64 time, HistoryReading reading = At(0))
    {
        reading.timeMs = time;
        history.Append(reading);
        window->OnReadingAdded();
    }
    CChartCtrl &Chart() { return *window->Chart(); }
    double Min() { return window->TimeAxis()->GetMin(); }
    double Max() { return window->TimeAxis()->GetMax(); }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&Chart(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&Chart(), to);
        QTest::mouseRelease(&Chart(), Qt::LeftButton, {}, to);
    }
    void Wheel(int delta)
    {
        const QPointF at(Chart().PlottingRect().ToQRect().center());
        QWheelEvent event(at, Chart().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Chart(), &event);
    }
};
} // namespace

TEST(ReadingHistory, KeepsReadingsInOrderAndFindsSpans)
{
    ReadingHistory history;
    EXPECT_EQ(history.IndexRange(0, kStart), std::make_pair(0, 0));
    history.Append(At(kStart, 24.5f, 30, 0));
    history.Append(At(kStart + 1000, std::nanf(""), 31, -1));
    history.Append(At(kStart + 2000, 4.2f, 100, 2, InputKind::Voltage));
    history.Append(At(kStart + 3000, 4.3f, 99, 1, InputKind::Voltage));
    history.Append(At(kStart + 5000, 4.4f, 0, 3, InputKind::Voltage));
    ASSERT_EQ(history.Size(), 5);

    const HistoryReading second = history.At(1);
    EXPECT_TRUE(std::isnan(second.value));
    EXPECT_EQ(second.alarm, -1);
    const HistoryReading third = history.At(2);
    EXPECT_EQ(third.kind, InputKind::Voltage);
    EXPECT_FLOAT_EQ(third.value, 4.2f);
    EXPECT_FLOAT_EQ(third.pwmPercent, 100);
    EXPECT_EQ(third.alarm, 2);

    struct Case
    {
        qint64 from, to;
        std::pair<int, int> range;
    };
    const Case cases[] = {
        {kStart, kStart + 5000, {0, 5}},        // both ends included
        {kStart + 1, kStart + 4999, {1, 4}},    // strictly inside
        {kStart + 2000, kStart + 3000, {2, 4}}, // both ends on readings
        {kStart - 9000, kStart - 1, {0, 0}},    // before everything
        {kStart + 6000, kStart + 9000, {5, 5}}, // after everything
        {kStart + 4000, kStart + 1000, {4, 4}}, // backwards: empty
    };
    for (const Case &c : cases)
        EXPECT_EQ(history.IndexRange(c.from, c.to), c.range) << c.from - kStart << ".." << c.to - kStart;

    history.Clear();
    EXPECT_TRUE(history.IsEmpty());
    history.Append(At(kStart - 60000)); // a new session may start earlier than the last one ended
    EXPECT_EQ(history.FirstTime(), kStart - 60000);
}

// The clock set back an hour: what came before moves back with it, so the newest readings keep the
// wall clock, the order holds and the seconds between readings stay seconds.
TEST_F(HistoryWindowTest, AClockSetBackKeepsTheNewestOnTheClockAndTheWindowFollowing)
{
    Open(10);
    const qint64 before = history.LastTime();
    const int epoch = history.Epoch();
    const qint64 back = before + kSecondMs - kHourMs;
    Add(back);
    EXPECT_NE(history.Epoch(), epoch);
    EXPECT_EQ(history.LastTime(), back);
    EXPECT_EQ(history.TimeAt(history.Size() - 2), back); // the one interval nobody can know
    EXPECT_EQ(history.TimeAt(history.Size() - 2) - history.TimeAt(history.Size() - 3), kSecondMs);
    for (int i = 1; i < 60; ++i)
        Add(back + i * kSecondMs);
    for (int i = 1; i < history.Size(); ++i)
        ASSERT_LE(history.TimeAt(i - 1), history.TimeAt(i)) << i;

    // The window copied the moved readings again and follows the live end.
    EXPECT_EQ(Max(), back + 59 * kSecondMs);
    EXPECT_EQ(window->PwmLine()->GetPointsCount(), history.Size());
    // Ten minutes of readings in view (the moment of the set-back twice), spread over the span.
    const auto [first, last] = history.IndexRange(static_cast<qint64>(Min()), static_cast<qint64>(Max()));
    EXPECT_EQ(last - first, 602);
}

TEST_F(HistoryWindowTest, OpensFollowingTheLastTenMinutesWithBothAxesTitled)
{
    Open(30);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("History - Tamlin Orvex Interface"));
    EXPECT_TRUE(window->IsFollowing());
    EXPECT_FALSE(window->FollowButton()->isEnabled());
    EXPECT_EQ(Max(), history.LastTime());
    EXPECT_EQ(Max() - Min(), CHistoryWindow::kLiveSpanMs);
    EXPECT_EQ(window->ValueAxis()->GetTitle()->GetText(), QStringLiteral("Temperature(°C)"));
    EXPECT_EQ(window->PwmAxis()->GetTitle()->GetText(), QStringLiteral("PWM(%)"));
    EXPECT_EQ(window->PwmLine()->VerticalAxis(), window->PwmAxis());
    EXPECT_EQ(window->ValueLine()->VerticalAxis(), window->ValueAxis());
    // The value axis fits what is in view (20..40 degC here) on whole steps.
    EXPECT_LE(window->ValueAxis()->GetMin(), 20);
    EXPECT_GE(window->ValueAxis()->GetMax(), 40);
    EXPECT_GE(window->ValueAxis()->GetMin(), 10);
    EXPECT_LE(window->ValueAxis()->GetMax(), 50);

    // Each reading moves the span along, with one redraw.
    const int before = Chart().RefreshCount();
    Add(history.LastTime() + kSecondMs);
    EXPECT_EQ(Chart().RefreshCount(), before + 1);
    EXPECT_EQ(Max(), history.LastTime());
    EXPECT_EQ(window->ValueLine()->GetPointsCount(), history.Size());

    // The latest reading's kind titles the axis; degrees and volts are not joined.
    Add(history.LastTime() + kSecondMs, At(0, 4.5f, 60, 0, InputKind::Voltage));
    EXPECT_EQ(window->ValueAxis()->GetTitle()->GetText(), QStringLiteral("Voltage(V)"));
    EXPECT_EQ(window->ValueLine()->Runs().size(), 2u);
}

TEST_F(HistoryWindowTest, DragZoomsAndStopsFollowingAndTheButtonGoesBackToTheLiveEnd)
{
    Open(30);
    const ChartRect plot = Chart().PlottingRect();
    const double expectFrom = window->TimeAxis()->PixelToValue(plot.left + 100);
    const double expectTo = window->TimeAxis()->PixelToValue(plot.left + 200);
    Drag({plot.left + 100, plot.top + 10}, {plot.left + 200, plot.bottom - 10});
    EXPECT_FALSE(window->IsFollowing());
    EXPECT_TRUE(window->FollowButton()->isEnabled());
    EXPECT_DOUBLE_EQ(Min(), expectFrom);
    EXPECT_DOUBLE_EQ(Max(), expectTo);

    // A reading after the span changes nothing on screen: no redraw, the span stays.
    const int before = Chart().RefreshCount();
    Add(history.LastTime() + kSecondMs);
    Add(history.LastTime() + kSecondMs);
    EXPECT_EQ(Chart().RefreshCount(), before);
    EXPECT_DOUBLE_EQ(Max(), expectTo);

    QTest::mouseClick(window->FollowButton(), Qt::LeftButton);
    EXPECT_TRUE(window->IsFollowing());
    EXPECT_FALSE(window->FollowButton()->isEnabled());
    EXPECT_EQ(Max(), history.LastTime());
    EXPECT_EQ(Max() - Min(), CHistoryWindow::kLiveSpanMs);
    // The readings that came while zoomed are all there.
    EXPECT_EQ(window->PwmLine()->GetPointsCount(), history.Size());
    EXPECT_EQ(window->PwmAxis()->GetMin(), -3); // a vertical zoom undone too
}

TEST_F(HistoryWindowTest, ReverseDragShowsTheWholeSession)
{
    Open(45);
    const ChartRect plot = Chart().PlottingRect();
    Drag({plot.left + 200, plot.bottom - 10}, {plot.left + 100, plot.top + 10});
    EXPECT_FALSE(window->IsFollowing());
    EXPECT_EQ(Min(), history.FirstTime());
    EXPECT_EQ(Max(), history.LastTime());

    // A session shorter than the live span shows the live span.
    history.Clear();
    window->OnReadingAdded();
    Add(kStart);
    Add(kStart + 5 * kMinuteMs);
    Drag({plot.left + 200, plot.bottom - 10}, {plot.left + 100, plot.top + 10});
    EXPECT_EQ(Max(), kStart + 5 * kMinuteMs);
    EXPECT_EQ(Max() - Min(), CHistoryWindow::kLiveSpanMs);
    EXPECT_EQ(window->ValueLine()->GetPointsCount(), 2);
}

TEST_F(HistoryWindowTest, WheelPansInTimeWithinTheSession)
{
    Open(30);
    const double span = Max() - Min();
    const double end = Max();
    Wheel(120); // away from the user: back in time
    EXPECT_FALSE(window->IsFollowing());
    EXPECT_TRUE(window->FollowButton()->isEnabled());
    EXPECT_DOUBLE_EQ(Max(), end - span / 10);
    EXPECT_DOUBLE_EQ(Max() - Min(), span);
    Wheel(-240);
    EXPECT_DOUBLE_EQ(Max(), end + span / 10);
    // Far past either end, half the span still shows readings.
    for (int i = 0; i < 50; ++i)
        Wheel(-120);
    EXPECT_DOUBLE_EQ(Min(), history.LastTime() - span / 2);
    for (int i = 0; i < 100; ++i)
        Wheel(120);
    EXPECT_DOUBLE_EQ(Min(), history.FirstTime() - span / 2);
}

TEST_F(HistoryWindowTest, AlarmChangesAreMarked)
{
    Open(0);
    // Known codes only; -1 (no code in the frame) neither marks nor forgets.
    const int codes[] = {0, 0, 4, 4, -1, 4, 0, -1, 0, 1};
    for (int i = 0; i < 10; ++i)
        Add(kStart + i * kSecondMs, At(0, 30, 50, codes[i]));
    const CChartEventSerie *marks = window->AlarmMarks();
    ASSERT_EQ(marks->GetPointsCount(), 3);
    EXPECT_EQ(marks->GetPoint(0), QPointF(kStart + 2 * kSecondMs, 4));
    EXPECT_EQ(marks->GetPoint(1), QPointF(kStart + 6 * kSecondMs, 0));
    EXPECT_EQ(marks->GetPoint(2), QPointF(kStart + 9 * kSecondMs, 1));
    EXPECT_EQ(marks->Text(marks->GetPoint(0)), QStringLiteral("WARNING: High Temperature Alarm ON"));
    EXPECT_NE(marks->Colour(0), marks->Colour(4));

    // An alarm already on when the session starts is marked too.
    ReadingHistory other;
    other.Append(At(kStart, 30, 50, 5));
    CHistoryWindow second(other);
    second.show();
    EXPECT_EQ(second.AlarmMarks()->GetPointsCount(), 1);
}

TEST_F(HistoryWindowTest, AHiddenWindowDrawsNothingAndCatchesUpWhenShown)
{
    Open(10);
    window->hide();
    const int before = Chart().RefreshCount();
    for (int i = 1; i <= 5; ++i)
        Add(history.LastTime() + kSecondMs);
    EXPECT_EQ(Chart().RefreshCount(), before);
    window->show();
    EXPECT_EQ(window->ValueLine()->GetPointsCount(), history.Size());
    EXPECT_EQ(Max(), history.LastTime());
}

// The rectangle a drag draws shows on the white chart: all along its edge, in a dark colour.
TEST_F(HistoryWindowTest, TheZoomRectangleShowsWhileDragging)
{
    Open(30);
    const ChartRect plot = Chart().PlottingRect();
    const QPoint from(plot.left + 100, plot.top + 10);
    const QPoint to(plot.left + 300, plot.bottom - 10);
    QTest::mousePress(&Chart(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&Chart(), to);
    const QImage image = Chart().grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    for (int x = from.x() + 1; x < to.x(); ++x) {
        for (const int y : {from.y(), to.y()}) {
            const QColor seen = image.pixelColor((QPointF(x, y) * ratio).toPoint());
            ASSERT_LT(qGray(seen.rgb()), 128) << x << "," << y; // dark on white
        }
    }
    QTest::mouseRelease(&Chart(), Qt::LeftButton, {}, to);
}

// A drag released below the plot (or beside it) zooms only into what was on show: PWM stays within
// its 0..100 % and the margin around it, the reading and the time within what they showed.
TEST_F(HistoryWindowTest, ADragReleasedOutsideThePlotStaysWithinWhatWasShown)
{
    Open(30);
    const ChartRect plot = Chart().PlottingRect();
    const double valueLow = window->ValueAxis()->GetMin();
    const double from = Min(), to = Max();
    Drag({plot.left + 100, plot.top + 10}, {Chart().width() - 2, Chart().height() - 2});
    EXPECT_GE(window->PwmAxis()->GetMin(), CHistoryWindow::kPwmLow);
    EXPECT_LE(window->PwmAxis()->GetMax(), CHistoryWindow::kPwmHigh);
    EXPECT_GE(window->ValueAxis()->GetMin(), valueLow);
    EXPECT_GT(Min(), from);
    EXPECT_LE(Max(), to);
}

// A rectangle over the empty start of a short session would show nothing: the span moves onto the
// readings, keeping its length.
TEST_F(HistoryWindowTest, AZoomOverNoReadingsMovesOntoThem)
{
    Open(0);
    for (int i = 0; i < 120; ++i)
        Add(kStart + i * kSecondMs);
    const ChartRect plot = Chart().PlottingRect();
    Drag({plot.left + 5, plot.top + 10}, {plot.left + plot.Width() / 5, plot.bottom - 10});
    EXPECT_FALSE(window->IsFollowing());
    EXPECT_LT(Max() - Min(), CHistoryWindow::kLiveSpanMs / 4);
    const auto [first, last] = history.IndexRange(static_cast<qint64>(Min()), static_cast<qint64>(Max()));
    EXPECT_GT(last - first, 0);
}

// After a reverse drag over a session shorter than the span, going back in time has nowhere to go:
// the span stays, it never jumps forward; forward and back again then move as asked.
TEST_F(HistoryWindowTest, TheFirstWheelTurnBackAfterAReverseDragNeverJumpsForward)
{
    Open(0);
    for (int i = 0; i < 120; ++i)
        Add(kStart + i * kSecondMs);
    const ChartRect plot = Chart().PlottingRect();
    Drag({plot.left + 200, plot.bottom - 10}, {plot.left + 100, plot.top + 10});
    const double start = Min();
    Wheel(120);
    EXPECT_LE(Min(), start);
    Wheel(-120);
    EXPECT_GT(Min(), start);
    const double ahead = Min();
    Wheel(120);
    EXPECT_LT(Min(), ahead);
}

// A mark says what the alarm means, in the monitor's words for the input it came on.
TEST_F(HistoryWindowTest, AlarmMarksSayWhatTheAlarmMeans)
{
    Open(0);
    struct Case
    {
        int code;
        InputKind kind;
        const char *text;
    };
    const Case cases[] = {
        {1, InputKind::Temperature, "WARNING: Thermistor Short Circuit Alarm ON"},
        {2, InputKind::Temperature, "WARNING: Thermistor Open Circuit Alarm ON"},
        {3, InputKind::Temperature, "WARNING: Tacho Signal Lost Alarm ON"},
        {4, InputKind::Temperature, "WARNING: High Temperature Alarm ON"},
        {5, InputKind::Temperature, "WARNING: Low Temperature Alarm ON"},
        {0, InputKind::Temperature, "SYSTEM HEALTHY - NO ACTIVE ALARMS -"},
        {1, InputKind::Voltage, "WARNING: : High Voltage Alarm ON"},
        {2, InputKind::Voltage, "WARNING: Low Voltage Alarm ON"},
        {4, InputKind::Voltage, "Alarm 4"}, // the monitor shows no text for it
        {0, InputKind::Voltage, "SYSTEM HEALTHY - NO ACTIVE ALARMS -"},
    };
    Add(kStart, At(0, 30, 50, 0)); // healthy from the start: no mark
    qint64 time = kStart;
    for (const Case &c : cases) {
        time += 5 * kSecondMs;
        Add(time, At(0, 30, 50, c.code, c.kind));
    }
    const CChartEventSerie *marks = window->AlarmMarks();
    ASSERT_EQ(marks->GetPointsCount(), static_cast<int>(std::size(cases)));
    for (int i = 0; i < marks->GetPointsCount(); ++i)
        EXPECT_EQ(marks->Text(marks->GetPoint(i)), QString::fromUtf8(cases[i].text)) << i;
}

// Everything the mouse does on the chart, from the keyboard: the chart is a Tab stop.
TEST_F(HistoryWindowTest, KeysZoomPanGoToTheStartAndFollowLive)
{
    Open(30);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    CChartCtrl &chart = Chart();
    EXPECT_EQ(chart.focusPolicy(), Qt::StrongFocus);
    EXPECT_TRUE(chart.hasFocus());
    const double span = Max() - Min();
    const double end = Max();

    QTest::keyClick(&chart, Qt::Key_Left);
    EXPECT_FALSE(window->IsFollowing());
    EXPECT_DOUBLE_EQ(Max(), end - span / 10);
    QTest::keyClick(&chart, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(Max(), end);
    QTest::keyClick(&chart, Qt::Key_PageUp);
    EXPECT_DOUBLE_EQ(Max(), end - span);

    const double middle = (Min() + Max()) / 2;
    QTest::keyClick(&chart, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(Max() - Min(), span / 2);
    EXPECT_DOUBLE_EQ((Min() + Max()) / 2, middle);
    QTest::keyClick(&chart, Qt::Key_Minus);
    QTest::keyClick(&chart, Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(Max() - Min(), 2 * span);
    for (int i = 0; i < 20; ++i) // no further than the whole session, no closer than a few readings
        QTest::keyClick(&chart, Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(Max() - Min(), history.LastTime() - history.FirstTime());
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(&chart, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(Max() - Min(), CHistoryWindow::kShortestSpanMs);

    QTest::keyClick(&chart, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(Min(), history.FirstTime());
    QTest::keyClick(&chart, Qt::Key_0);
    EXPECT_DOUBLE_EQ(Min(), history.FirstTime());
    EXPECT_DOUBLE_EQ(Max(), history.LastTime());
    QTest::keyClick(&chart, Qt::Key_End);
    EXPECT_TRUE(window->IsFollowing());
    EXPECT_DOUBLE_EQ(Max() - Min(), CHistoryWindow::kLiveSpanMs);
    QTest::keyClick(&chart, Qt::Key_Left);
    QTest::keyClick(&chart, Qt::Key_F);
    EXPECT_TRUE(window->IsFollowing());

    // Tab goes on to Follow live while it can be pressed, and back to the chart.
    QTest::keyClick(&chart, Qt::Key_Left);
    QTest::keyClick(&chart, Qt::Key_Tab);
    EXPECT_TRUE(window->FollowButton()->hasFocus());
    QTest::keyClick(window->FollowButton(), Qt::Key_Space);
    EXPECT_TRUE(window->IsFollowing());
    EXPECT_TRUE(chart.hasFocus()); // the button went grey under the focus
}

// A screen reader hears the window by its title, and what the chart is and the span it shows.
TEST_F(HistoryWindowTest, TheChartTellsScreenReadersItsSpan)
{
    Open(10);
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(window.get());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), QStringLiteral("History - Tamlin Orvex Interface"));
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&Chart());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Chart);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Reading and PWM history"));
    // Following, to the minute: not a new text with each reading.
    EXPECT_EQ(face->text(QAccessible::Description),
              QStringLiteral("Temperature and PWM over the last 10 minutes up to 13:09, following live"));
    Add(history.LastTime() + kSecondMs, At(0, 4.5f, 60, 0, InputKind::Voltage));
    EXPECT_EQ(face->text(QAccessible::Description),
              QStringLiteral("Voltage and PWM over the last 10 minutes up to 13:10, following live"));
    Wheel(120 * 5); // half the span back
    EXPECT_EQ(face->text(QAccessible::Description),
              QStringLiteral("Voltage and PWM from 12:55:00 to 13:05:00, 301 readings"));
}
