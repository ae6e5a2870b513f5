// Tests of the chart control: painting, series, mouse events, zoom.
#include "ChartCtrl.h"
#include "ChartBalloonLabel.h"
#include "ChartLineSerie.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {
const QColor kBack(49, 183, 240);

// A chart set up as the fan curve's: value axis below, PWM left, hidden index axis on top.
struct Chart
{
    CChartCtrl ctrl;
    CChartStandardAxis *bottom;
    CChartStandardAxis *left;
    CChartStandardAxis *top;
    CChartLineSerie *line;

    explicit Chart(QSize size = {555, 351})
    {
        ctrl.resize(size);
        bottom = ctrl.AddStandardAxis(CChartAxis::Bottom);
        bottom->SetRange(0, 63.5);
        bottom->GetTitle()->SetText(QStringLiteral("Temperature(°C)"));
        left = ctrl.AddStandardAxis(CChartAxis::Left);
        left->SetRange(0, 100);
        left->GetTitle()->SetText(QStringLiteral("PWM(%)"));
        top = ctrl.AddStandardAxis(CChartAxis::Top);
        top->SetRange(0, 255);
        top->SetShown(false);
        line = ctrl.AddLineSerie();
        line->SetWidth(4);
        line->SetColor(Qt::black);
        ctrl.SetBackColor(kBack);
    }
    QImage Image() { return ctrl.BackBuffer(); }
};
} // namespace

TEST(ChartCtrl, LayoutLeavesRoomForLabelsAndTitlesAndKeepsTheHiddenAxisAligned)
{
    Chart chart;
    const ChartRect plot = chart.ctrl.PlottingRect();
    EXPECT_GT(plot.left, 3 + 10);        // labels, 10 px and the turned title
    EXPECT_LT(plot.bottom, 351 - 3 - 6); // label height + 6 + title height
    EXPECT_GT(plot.top, 3);
    EXPECT_LT(plot.right, 555 - 3);
    // Both horizontal axes span the same pixels, so entry 255 sits under 63.5.
    EXPECT_EQ(chart.bottom->StartPixel(), chart.top->StartPixel());
    EXPECT_EQ(chart.bottom->EndPixel(), chart.top->EndPixel());
    EXPECT_EQ(chart.top->ValueToPixel(255), chart.bottom->ValueToPixel(63.5));
    EXPECT_EQ(chart.top->GetGrid()->tickPixels.size(), 0u); // hidden: no grid
}

TEST(ChartCtrl, PixelsThatMustHold)
{
    Chart chart;
    const double xs[] = {0, 100, 255};
    const double ys[] = {0, 50, 50};
    chart.line->ReplacePoints(xs, ys, 3);
    const QImage image = chart.Image();
    const ChartRect plot = chart.ctrl.PlottingRect();

    // On the flat part of the curve.
    const int y50 = chart.left->ValueToPixel(50);
    const int x200 = chart.top->ValueToPixel(200);
    EXPECT_EQ(image.pixelColor(x200, y50), QColor(Qt::black));
    // Background away from everything, inside the edge but outside the plot.
    EXPECT_EQ(image.pixelColor(5, 5), kBack);
    // Vertical grid lines at the tick pixels of the value axis (grey), between curve and border.
    const std::vector<int> &ticks = chart.bottom->GetGrid()->tickPixels;
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front(), chart.bottom->ValueToPixel(0));
    const int gridX = ticks[ticks.size() / 2];
    EXPECT_EQ(image.pixelColor(gridX, plot.top + 5), QColor(128, 128, 128));
    // Ticks of 0..100 on the PWM axis are whole tens here.
    EXPECT_DOUBLE_EQ(chart.left->TickIncrement(), 10);
    EXPECT_EQ(chart.left->TickValues().size(), 11u);
}

TEST(ChartCtrl, PointsOutsideThePlotAreClippedAtItsEdge)
{
    Chart chart;
    const double xs[] = {-1020, -1020, 25};
    const double ys[] = {0, 65, 65}; // between two tick labels
    chart.line->ReplacePoints(xs, ys, 3);
    const QImage image = chart.Image();
    const ChartRect plot = chart.ctrl.PlottingRect();
    const int y65 = chart.left->ValueToPixel(65);
    EXPECT_EQ(image.pixelColor(plot.left + 5, y65), QColor(Qt::black));
    // Left of the plot, over the axis and its labels, the line never shows.
    for (int x = 4; x < plot.left - 1; ++x)
        ASSERT_NE(image.pixelColor(x, y65), QColor(Qt::black)) << x;
}

TEST(ChartCtrl, DragZoomsAndReverseDragRestores)
{
    Chart chart;
    chart.ctrl.show();
    const ChartRect plot = chart.ctrl.PlottingRect();
    const QPoint a(plot.left + 50, plot.top + 40);
    const QPoint b(plot.left + 150, plot.top + 140);
    const double expectLeft = chart.bottom->PixelToValue(a.x());
    const double expectRight = chart.bottom->PixelToValue(b.x());
    const double expectLow = chart.left->PixelToValue(b.y());
    QTest::mousePress(&chart.ctrl, Qt::LeftButton, {}, a);
    QTest::mouseMove(&chart.ctrl, b);
    QTest::mouseRelease(&chart.ctrl, Qt::LeftButton, {}, b);
    EXPECT_DOUBLE_EQ(chart.bottom->GetMin(), expectLeft);
    EXPECT_DOUBLE_EQ(chart.bottom->GetMax(), expectRight);
    EXPECT_DOUBLE_EQ(chart.left->GetMin(), expectLow);
    EXPECT_NEAR(chart.top->GetMin() / 255 * 63.5, chart.bottom->GetMin(), 1e-9); // still aligned

    // A click without movement does nothing.
    QTest::mouseClick(&chart.ctrl, Qt::LeftButton, {}, a);
    EXPECT_DOUBLE_EQ(chart.bottom->GetMin(), expectLeft);

    QTest::mousePress(&chart.ctrl, Qt::LeftButton, {}, b);
    QTest::mouseRelease(&chart.ctrl, Qt::LeftButton, {}, a);
    EXPECT_EQ(chart.bottom->GetMin(), 0);
    EXPECT_EQ(chart.bottom->GetMax(), 63.5);
    EXPECT_EQ(chart.left->GetMax(), 100);
    EXPECT_EQ(chart.top->GetMax(), 255);
}

// Only the part of a drag inside the plot zooms: ended below or beside it, it never brings in values
// that were not on show.
TEST(ChartCtrl, DragEndingOutsideThePlotZoomsToItsEdges)
{
    Chart chart;
    chart.ctrl.show();
    const ChartRect plot = chart.ctrl.PlottingRect();
    const QPoint from(plot.left + 50, plot.top + 40);
    const double expectLeft = chart.bottom->PixelToValue(from.x());
    const double expectTop = chart.left->PixelToValue(from.y());
    QTest::mousePress(&chart.ctrl, Qt::LeftButton, {}, from);
    QTest::mouseRelease(&chart.ctrl, Qt::LeftButton, {}, QPoint(chart.ctrl.width() - 1, chart.ctrl.height() - 1));
    EXPECT_DOUBLE_EQ(chart.bottom->GetMin(), expectLeft);
    EXPECT_DOUBLE_EQ(chart.bottom->GetMax(), 63.5);
    EXPECT_DOUBLE_EQ(chart.left->GetMin(), 0);
    EXPECT_DOUBLE_EQ(chart.left->GetMax(), expectTop);
    EXPECT_DOUBLE_EQ(chart.top->GetMax(), 255);

    // Along the plot's bottom edge and beyond it: no height inside the plot, no zoom.
    QTest::mousePress(&chart.ctrl, Qt::LeftButton, {}, QPoint(plot.left + 10, plot.bottom));
    QTest::mouseRelease(&chart.ctrl, Qt::LeftButton, {}, QPoint(plot.left + 60, plot.bottom + 20));
    EXPECT_DOUBLE_EQ(chart.bottom->GetMin(), expectLeft);
    EXPECT_DOUBLE_EQ(chart.left->GetMin(), 0);
}

TEST(ChartCtrl, MouseEventRecord)
{
    Chart chart;
    chart.ctrl.SetZoomEnabled(false);
    chart.ctrl.show();
    const ChartRect plot = chart.ctrl.PlottingRect();
    const QPoint inside(plot.left + 100, plot.bottom - 1 - 30);

    QTest::mouseMove(&chart.ctrl, inside);
    EXPECT_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::State), CChartCtrl::Moved);
    EXPECT_DOUBLE_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::BottomValue),
                     chart.bottom->PixelToValue(inside.x()));
    EXPECT_DOUBLE_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::LeftValue), chart.left->PixelToValue(inside.y()));
    EXPECT_DOUBLE_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::TopValue), chart.top->PixelToValue(inside.x()));

    QTest::mouseMove(&chart.ctrl, QPoint(1, 1)); // outside the plot
    EXPECT_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::State), CChartCtrl::NoEvent);

    QTest::mouseDClick(&chart.ctrl, Qt::LeftButton, {}, QPoint(1, 1)); // anywhere
    EXPECT_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::State), CChartCtrl::DoubleClick);
    QTest::mousePress(&chart.ctrl, Qt::RightButton, {}, inside);
    EXPECT_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::State), CChartCtrl::RightDown);
    EXPECT_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::Reset), 0);
    EXPECT_EQ(chart.ctrl.GetMouseInfo(CChartCtrl::MouseInfo::State), CChartCtrl::NoEvent);
}

TEST(ChartCtrl, RefreshLockDefersOneRedrawAndResizeRebuildsTheBuffer)
{
    Chart chart;
    const int before = chart.ctrl.RefreshCount();
    chart.ctrl.EnableRedraw(false);
    chart.ctrl.SetBackColor(Qt::red);
    chart.ctrl.SetBorderColor(Qt::white);
    chart.left->SetRange(0, 50);
    EXPECT_EQ(chart.ctrl.RefreshCount(), before);
    chart.ctrl.EnableRedraw(true);
    EXPECT_EQ(chart.ctrl.RefreshCount(), before + 1);

    chart.ctrl.resize(300, 200);
    chart.ctrl.Redraw();
    EXPECT_EQ(chart.Image().size(), QSize(300, 200));
}

// CTest runs this once more with QT_SCALE_FACTOR=2.
TEST(ChartCtrl, HiDpiBufferIsInDevicePixels)
{
    Chart chart;
    const qreal ratio = chart.ctrl.devicePixelRatioF();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QStringLiteral("2")) {
        EXPECT_EQ(ratio, 2.0);
    }
    EXPECT_EQ(chart.Image().devicePixelRatio(), ratio);
    EXPECT_EQ(chart.Image().size(), (QSizeF(chart.ctrl.size()) * ratio).toSize());

    // Layout stays in logical pixels; the flat curve lands on device pixels ratio times further out.
    const double xs[] = {0, 255};
    const double ys[] = {50, 50};
    chart.line->ReplacePoints(xs, ys, 2);
    const QPoint logical(chart.top->ValueToPixel(128), chart.left->ValueToPixel(50));
    EXPECT_EQ(chart.Image().pixelColor((QPointF(logical) * ratio).toPoint()), QColor(Qt::black));
}

TEST(ChartCtrl, TinyAndSingleValueChartsDrawWithoutFailing)
{
    for (QSize size : {QSize(0, 0), QSize(1, 1), QSize(12, 9), QSize(40, 30)}) {
        Chart chart(size);
        const double xs[] = {0, 255};
        const double ys[] = {0, 100};
        chart.line->ReplacePoints(xs, ys, 2);
        chart.ctrl.Redraw();
    }
    Chart chart;
    chart.left->SetRange(5, 5);
    EXPECT_EQ(chart.left->TickValues(), std::vector<double>{5});
}

TEST(ChartSeries, OrderingAppendAndRemoval)
{
    Chart chart;
    CChartLineSerie *step = chart.ctrl.AddLineSerie();
    step->AppendPoint({41, 0});
    step->AppendPoint({41, 30});
    step->AppendPoint({101, 30});
    step->AppendPoint({20, 5});  // goes before the larger x
    step->AppendPoint({41, 60}); // after the other 41s
    const std::vector<QPointF> expected{{20, 5}, {41, 0}, {41, 30}, {41, 60}, {101, 30}};
    EXPECT_EQ(step->Points(), expected);
    EXPECT_EQ(step->MinX(), 20);
    EXPECT_EQ(step->MaxY(), 60);

    std::vector<double> xs(256), ys(256);
    for (int i = 0; i < 256; ++i) {
        xs[i] = i;
        ys[i] = i % 7;
    }
    chart.line->ReplacePoints(xs.data(), ys.data(), 256);
    ASSERT_EQ(chart.line->GetPointsCount(), 256);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(chart.line->GetPoint(i), QPointF(i, i % 7));

    CChartPointsSerie *marker = chart.ctrl.AddPointsSerie(false);
    marker->AttachLabel(0, std::make_unique<CChartBalloonLabel>(marker, 0));
    marker->AppendPoint({10, 10});
    marker->RemoveAllPoints();
    EXPECT_EQ(marker->GetPointsCount(), 0);
}

TEST(ChartSeries, SeriesTakeTheDefaultColoursInTurn)
{
    CChartCtrl ctrl;
    ctrl.AddStandardAxis(CChartAxis::Left);
    ctrl.AddStandardAxis(CChartAxis::Bottom);
    ctrl.AddStandardAxis(CChartAxis::Top);
    EXPECT_EQ(ctrl.AddPointsSerie(false)->GetColor(), QColor(255, 0, 0));
    EXPECT_EQ(ctrl.AddLineSerie()->GetColor(), QColor(0, 150, 0));
    EXPECT_EQ(ctrl.AddLineSerie()->GetColor(), QColor(0, 0, 255));
    EXPECT_EQ(ctrl.AddPointsSerie(true)->GetColor(), QColor(255, 255, 0));
}

TEST(ChartLabels, EmptyBalloonStillDrawsABoxAboveAWhiteLeader)
{
    Chart chart;
    CChartPointsSerie *marker = chart.ctrl.AddPointsSerie(false);
    marker->SetPointSize(10, 10);
    auto *label = marker->AttachLabel(0, std::make_unique<CChartBalloonLabel>(marker, 0));
    marker->AppendPoint({30, 50});
    const QPoint anchor = marker->ScreenPoint(0);
    const QImage image = chart.Image();
    EXPECT_EQ(image.pixelColor(anchor.x(), anchor.y() - 12), QColor(Qt::white));
    const QRect box = label->BoxFor(anchor);
    EXPECT_EQ(box.bottom() + 1, anchor.y() - CChartBalloonLabel::kLeaderLength);
    EXPECT_EQ(image.pixelColor(box.center()), QColor(255, 255, 225));
}
