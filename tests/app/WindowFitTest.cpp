// Tests that the History window opens whole and readable on the screen it runs with. CTest runs
// them at 1920 x 1080 and 1280 x 720 at several scales.
#include "ChartCtrl.h"
#include "ChartTimeAxis.h"
#include "HistoryWindow.h"
#include "ReadingHistory.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {
// Room the platform's frame needs beside and above a window, as the main window leaves.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 40;

// The texts of buttons and labels against the room their control gives them.
void ExpectTextsFit(const QWidget &window)
{
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (!button->isVisible())
            continue;
        EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
        EXPECT_LE(button->sizeHint().height(), button->height()) << button->text().toStdString();
        EXPECT_TRUE(window.rect().contains(QRect(button->mapTo(&window, QPoint()), button->size())))
            << button->text().toStdString();
    }
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->isVisible() && !label->wordWrap()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
                << label->text().toStdString();
        }
    }
}
} // namespace

TEST(WindowFit, TheHistoryWindowOpensWholeAndReadable)
{
    const qint64 start = QDateTime(QDate(2026, 6, 10), QTime(13, 0, 0)).toMSecsSinceEpoch();
    ReadingHistory history;
    for (int i = 0; i < 1800; ++i)
        history.Append({start + i * kSecondMs, 20 + static_cast<float>(i % 600) / 30, InputKind::Temperature,
                        static_cast<float>(i % 100), 0});
    CHistoryWindow window(history);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QRect room = window.screen()->availableGeometry();
    SCOPED_TRACE(QStringLiteral("screen %1 x %2 at %3")
                     .arg(room.width())
                     .arg(room.height())
                     .arg(window.devicePixelRatioF())
                     .toStdString());
    EXPECT_TRUE(room.contains(window.frameGeometry()));
    EXPECT_LE(window.width() + kFrameWidth, room.width());
    EXPECT_LE(window.height() + kFrameHeight, room.height());
    // Where the screen has room it opens at its usual size.
    if (room.width() >= CHistoryWindow::kPreferredWidth + kFrameWidth &&
        room.height() >= CHistoryWindow::kPreferredHeight + kFrameHeight) {
        EXPECT_EQ(window.size(), QSize(CHistoryWindow::kPreferredWidth, CHistoryWindow::kPreferredHeight));
    }

    ExpectTextsFit(window);

    // The chart whole in the window, above the button, with its time axis inside it: labels no
    // wider than the room between their ticks, and room under the plot for them.
    const CChartCtrl &chart = *window.Chart();
    const QRect chartArea(chart.mapTo(&window, QPoint()), chart.size());
    EXPECT_TRUE(window.rect().contains(chartArea));
    EXPECT_LE(chartArea.bottom(), window.FollowButton()->mapTo(&window, QPoint()).y());
    const ChartRect plot = chart.PlottingRect();
    const CChartTimeAxis &time = *window.TimeAxis();
    const QFontMetrics labels(time.labelFont);
    EXPECT_LE(plot.bottom + labels.height(), chart.height() - 3);
    const std::vector<double> ticks = time.TickValues();
    ASSERT_GE(ticks.size(), 2u);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const int apart = time.ValueToPixel(ticks[i]) - time.ValueToPixel(ticks[i - 1]);
        EXPECT_GT(apart, labels.horizontalAdvance(time.DrawnLabelText(ticks[i]))) << i;
    }
    // Enough plot left to read a trend.
    EXPECT_GE(plot.Width(), 200);
    EXPECT_GE(plot.Height(), 100);
}
