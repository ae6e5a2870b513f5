// Tests of multipoint editing on the chart.
#include "WindowFixture.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"
#include "ChartStandardAxis.h"

#include <QTest>

namespace {
class MultipointTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->show();
        QTest::mouseClick(Check(1031), Qt::LeftButton);
        ASSERT_TRUE(Check(1031)->isChecked());
    }
    CChartCtrl *Chart() const { return window->Chart(); }
    QPoint PixelOf(int entry, double percent) const
    {
        return {window->Plot().Objects().indexAxis->ValueToPixel(entry),
                window->Plot().Objects().pwmAxis->ValueToPixel(percent)};
    }
    void DoubleClick(QPoint at)
    {
        QTest::mouseDClick(Chart(), Qt::LeftButton, {}, at);
        window->Multipoint().OnChartTimer();
    }
    void RightClick(PointLinkerChoice answer)
    {
        ui.linkerResults.push_back(answer);
        QTest::mousePress(Chart(), Qt::RightButton, {}, PixelOf(100, 50));
        window->Multipoint().OnChartTimer();
    }
    const FanCurve &Curve() const { return window->Plot().Curve(); }
};
} // namespace

TEST_F(MultipointTest, TickingRestsTheBandFieldsOnGreen)
{
    for (int id : {1053, 1056, 1054, 1055, 1013})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(window->Plot().Background(), CFanCurvePlot::multipointBackground);
    EXPECT_TRUE(window->Plot().ShutOffLine().empty());
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 0"));
    EXPECT_EQ(Curve().DefinedPointCount(), 0);
}

TEST_F(MultipointTest, DoubleClicksAddPointsClampedAndCountedOnce)
{
    // Above the plot: 120 % is taken as 100 %.
    const QPoint high(PixelOf(150, 0).x(), Chart()->PlottingRect().top - 2);
    DoubleClick(high);
    EXPECT_EQ(Curve().pointDefined[150], 1);
    EXPECT_EQ(Curve().pointFan[150], 100);
    EXPECT_EQ(Curve().curveFan[75], 50); // from entry 0 at 0 %
    EXPECT_EQ(Curve().curveFan[255], 1); // and down towards 0 % past the far end
    EXPECT_EQ(window->Multipoint().ChartTimer().interval(), 250);

    DoubleClick(PixelOf(150, 40));
    EXPECT_EQ(Curve().pointFan[150], 40);
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 1"));
    EXPECT_EQ(window->Plot().CurveLine()[150], QPointF(150, 40));
}

TEST_F(MultipointTest, MovingShowsTheSpotAndIsHandledOnce)
{
    QTest::mouseMove(Chart(), PixelOf(101, 30));
    window->Multipoint().OnChartTimer();
    // Pixels are coarser than values: the readouts show the value under the pixel.
    ASSERT_TRUE(Text(1001).startsWith(QStringLiteral("Temperature: "))) << Text(1001).toStdString();
    EXPECT_NEAR(Text(1001).mid(13).toDouble(), 25.0, 0.3);
    ASSERT_TRUE(Text(1002).startsWith(QStringLiteral("PWM: "))) << Text(1002).toStdString();
    EXPECT_NEAR(Text(1002).mid(5).toDouble(), 30.0, 0.5);
    EXPECT_EQ(Text(1002).mid(5).indexOf(QLatin1Char('.')), Text(1002).mid(5).size() - 3); // two decimals
    EXPECT_EQ(window->Plot().CursorMarker().size(), 1u);
    EXPECT_EQ(window->Multipoint().ChartTimer().interval(), 50);
    EXPECT_EQ(Chart()->MouseEventState(), 0);
}

TEST_F(MultipointTest, PointLinkerClearUndoAndCancel)
{
    DoubleClick(PixelOf(60, 80));
    const std::array<double, 256> withOne = Curve().curveFan;
    DoubleClick(PixelOf(200, 20));
    const std::array<double, 256> withTwo = Curve().curveFan;

    RightClick(PointLinkerChoice::Cancel);
    EXPECT_EQ(ui.linkerShown, 1);
    EXPECT_EQ(Curve().curveFan, withTwo);
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 2"));
    EXPECT_EQ(window->Multipoint().ChartTimer().interval(), 500);

    RightClick(PointLinkerChoice::Undo);
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 1"));
    EXPECT_EQ(Curve().pointDefined[200], 0);
    EXPECT_EQ(Curve().curveFan, withOne); // back to the curve before the second point
    const std::array<double, 256> afterUndo = Curve().curveFan;
    // What is drawn is what the table holds.
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(window->Plot().CurveLine()[i].y(), Curve().curveFan[i]) << i;

    RightClick(PointLinkerChoice::Undo);
    EXPECT_EQ(Curve().curveFan, afterUndo);
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 1"));

    RightClick(PointLinkerChoice::Clear);
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 0"));
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(Curve().curveFan[i], 0);
        ASSERT_EQ(Curve().curveX[i], i);
    }
}

TEST_F(MultipointTest, UntickingReturnsToTheBandsAndTickingBringsThePointsBack)
{
    DoubleClick(PixelOf(120, 70));
    const std::array<double, 256> multipointCurve = Curve().curveFan;
    QTest::mouseClick(Check(1031), Qt::LeftButton);
    for (int id : {1053, 1056, 1054, 1055, 1013})
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_EQ(window->Plot().Background(), CFanCurvePlot::bandModeBackground);
    EXPECT_EQ(Curve().curveFan[230], 90); // the band curve again
    EXPECT_EQ(window->Plot().ShutOffLine().size(), 3u);

    QTest::mouseClick(Check(1031), Qt::LeftButton);
    EXPECT_EQ(Curve().curveFan, multipointCurve);
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 1"));
}

TEST_F(MultipointTest, UntickingWithAllBandsUnsetLoadsTheTemplate)
{
    for (int id : {1053, 1056, 1054, 1055})
        qobject_cast<QLineEdit *>(window->Control(id))->setText(QStringLiteral("N/A"));
    QTest::mouseClick(Check(1031), Qt::LeftButton);
    EXPECT_EQ(Text(1056), QStringLiteral("50"));
    EXPECT_EQ(Curve().curveFan[171], 72);
    EXPECT_FALSE(Check(1031)->isChecked());
}

TEST_F(MultipointTest, NothingHappensWhileTheGateIsClosed)
{
    {
        const CControllerLink::PollPause transfer(window->Link()); // as an upload holds it
        DoubleClick(PixelOf(100, 50));
        EXPECT_EQ(Curve().DefinedPointCount(), 0);
    }
    window->Multipoint().OnChartTimer(); // the recorded event is still there
    EXPECT_EQ(Curve().DefinedPointCount(), 1);
}

TEST_F(MultipointTest, KeyboardAddsTheSamePointAsADoubleClick)
{
    Chart()->setFocus();
    const CMultipointEditor::Spot start = window->Multipoint().KeyboardSpot();
    for (int i = 0; i < 22; ++i)
        QTest::keyClick(Chart(), Qt::Key_Right);
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(Chart(), Qt::Key_Up);
    window->Multipoint().OnChartTimer();
    const int entry = static_cast<int>(start.index) + 22;
    const int percent = static_cast<int>(start.pwm) + 20;
    EXPECT_EQ(window->Plot().CursorMarker().size(), 1u);
    QTest::keyClick(Chart(), Qt::Key_Return);
    window->Multipoint().OnChartTimer();
    EXPECT_EQ(Curve().pointDefined[entry], 1);
    EXPECT_EQ(Curve().pointFan[entry], percent);
    const std::array<double, 256> byKeyboard = Curve().curveFan;
    EXPECT_TRUE(Check(1031)->isChecked()); // Enter did not reach anything else

    RightClick(PointLinkerChoice::Clear);
    DoubleClick(PixelOf(entry, percent));
    EXPECT_EQ(Curve().curveFan, byKeyboard);
}
