// Tests of the chart for keyboard and screen-reader users and for large fonts: focus frame,
// accessible role and texts, texts and layout that follow the widget's font.
#include "ChartCtrl.h"
#include "ChartStandardAxis.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

namespace {
// PWM on the left, temperature below, titled, on a light blue ground.
struct TitledChart
{
    CChartCtrl ctrl;
    CChartStandardAxis *bottom;
    CChartStandardAxis *left;

    explicit TitledChart(double points = 8)
    {
        QFont font = ctrl.font();
        font.setPointSizeF(points);
        ctrl.setFont(font);
        ctrl.resize(560, 350);
        bottom = ctrl.AddStandardAxis(CChartAxis::Bottom);
        bottom->SetRange(0, 63.5);
        bottom->GetTitle()->SetText(QStringLiteral("Temperature(°C)"));
        left = ctrl.AddStandardAxis(CChartAxis::Left);
        left->SetRange(0, 100);
        left->GetTitle()->SetText(QStringLiteral("PWM(%)"));
        ctrl.SetBackColor(QColor(49, 183, 240));
    }
};
} // namespace

TEST(ChartAccess, ScreenReadersMeetAChartWithTheNameAndDescriptionItsOwnerGives)
{
    TitledChart chart;
    chart.ctrl.setAccessibleName(QStringLiteral("Fan curve"));
    chart.ctrl.setAccessibleDescription(QStringLiteral("Bands 25 and 50 degC, shut off at 20 degC"));
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&chart.ctrl);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Chart);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Fan curve"));
    EXPECT_EQ(face->text(QAccessible::Description), QStringLiteral("Bands 25 and 50 degC, shut off at 20 degC"));
    // The owner says what changed; the reader hears the new text.
    chart.ctrl.setAccessibleDescription(QStringLiteral("Live reading 31.5 degC, PWM 42"));
    EXPECT_EQ(face->text(QAccessible::Description), QStringLiteral("Live reading 31.5 degC, PWM 42"));
    EXPECT_TRUE(face->state().focusable == false); // takes focus only where its owner lets it
    chart.ctrl.setFocusPolicy(Qt::StrongFocus);
    EXPECT_TRUE(face->state().focusable);
}

TEST(ChartAccess, FocusShowsAFrameOverTheEdgeAndLeavesTheChartAsItWas)
{
    QWidget window;
    TitledChart chart;
    chart.ctrl.setParent(&window);
    chart.ctrl.setFocusPolicy(Qt::StrongFocus);
    window.resize(600, 400);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QColor highlight = chart.ctrl.palette().color(QPalette::Highlight);
    const QPoint edge(chart.ctrl.width() / 2, 0);

    chart.ctrl.clearFocus(); // the only stop for Tab takes the focus with the window
    const QImage unfocused = chart.ctrl.grab().toImage();
    EXPECT_NE(unfocused.pixelColor(edge), highlight);
    chart.ctrl.setFocus();
    ASSERT_TRUE(chart.ctrl.hasFocus());
    const QImage focused = chart.ctrl.grab().toImage();
    const qreal ratio = focused.devicePixelRatio();
    for (const QPoint at : {edge, QPoint(0, chart.ctrl.height() / 2), QPoint(chart.ctrl.width() - 1, 20)})
        EXPECT_EQ(focused.pixelColor((QPointF(at) * ratio).toPoint()), highlight) << at.x() << "," << at.y();
    // Inside the edge the chart is untouched.
    const QRect inner = QRect(QPoint(4, 4), chart.ctrl.size() - QSize(8, 8));
    const QRect innerPixels((QPointF(inner.topLeft()) * ratio).toPoint(), (QSizeF(inner.size()) * ratio).toSize());
    EXPECT_EQ(focused.copy(innerPixels), unfocused.copy(innerPixels));

    chart.ctrl.clearFocus();
    EXPECT_EQ(chart.ctrl.grab().toImage(), unfocused);
}

// A bigger font makes labels, titles and the room for them bigger, and spaces the ticks so their
// labels never run into each other; at the dialog's 8 pt the layout is the usual one.
TEST(ChartAccess, TextsAndTheirRoomFollowTheWidgetFont)
{
    TitledChart usual(8);
    EXPECT_DOUBLE_EQ(usual.left->labelFont.pointSizeF(), 8);
    EXPECT_DOUBLE_EQ(usual.left->GetTitle()->font.pointSizeF(), 10);
    usual.ctrl.Redraw();
    EXPECT_DOUBLE_EQ(usual.left->TickIncrement(), 10); // 20 pixels a tick on a vertical axis

    for (double points : {12.0, 16.0, 24.0}) {
        TitledChart large(points);
        large.ctrl.Redraw();
        EXPECT_DOUBLE_EQ(large.left->labelFont.pointSizeF(), points);
        EXPECT_DOUBLE_EQ(large.left->GetTitle()->font.pointSizeF(), points * 10 / 8);
        const QFontMetrics labels(large.left->labelFont);
        const QFontMetrics titles(large.left->GetTitle()->font);
        const ChartRect plot = large.ctrl.PlottingRect();
        // Room for the widest label and the turned title left of the plot, and below it for a label
        // and the title.
        EXPECT_GE(plot.left, 3 + labels.horizontalAdvance(QStringLiteral("100")) + titles.height()) << points;
        EXPECT_LE(plot.bottom, large.ctrl.height() - 3 - labels.height() - titles.height()) << points;
        // Neighbouring tick labels clear of each other, up the side and along the bottom.
        const std::vector<double> up = large.left->TickValues();
        ASSERT_GE(up.size(), 2u) << points;
        EXPECT_GE(large.left->ValueToPixel(up[0]) - large.left->ValueToPixel(up[1]), labels.height()) << points;
        const std::vector<double> along = large.bottom->TickValues();
        ASSERT_GE(along.size(), 2u) << points;
        const QString widest = TickLabelText(along.back(), large.bottom->Decimals());
        EXPECT_GT(large.bottom->ValueToPixel(along[1]) - large.bottom->ValueToPixel(along[0]),
                  labels.horizontalAdvance(widest))
            << points;
    }

    // A font set later is followed too.
    QFont font = usual.ctrl.font();
    font.setPointSizeF(14);
    usual.ctrl.setFont(font);
    EXPECT_DOUBLE_EQ(usual.bottom->labelFont.pointSizeF(), 14);
}
