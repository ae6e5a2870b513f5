// Tests of the fan curve on the chart.
#include "WindowFixture.h"

#include "ChartCtrl.h"
#include "ChartLineSerie.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"

namespace {
QLineEdit *Edit(CPlexaDlg &w, int id)
{
    return qobject_cast<QLineEdit *>(w.Control(id));
}
} // namespace

TEST_F(WindowTest, ChartIsSetUpWithItsAxesAndSeries)
{
    CFanCurvePlot &plot = window->Plot();
    EXPECT_EQ(plot.Objects().valueAxis->GetMax(), 63.5);
    EXPECT_EQ(plot.Objects().pwmAxis->GetMax(), 100);
    EXPECT_EQ(plot.Objects().indexAxis->GetMax(), 255);
    EXPECT_FALSE(plot.Objects().indexAxis->IsVisible());
    EXPECT_EQ(window->Chart()->SeriesCount(), 5); // and the trail behind the live point
    EXPECT_EQ(plot.Objects().curveLine->GetWidth(), 4);
    EXPECT_EQ(plot.Objects().curveLine->GetColor(), QColor(0, 0, 0));
    EXPECT_EQ(plot.Objects().shutOffLine->GetWidth(), 3);
    EXPECT_EQ(plot.Objects().shutOffLine->GetPenStyle(), 1);
    EXPECT_EQ(plot.Objects().shutOffLine->GetColor(), QColor(255, 119, 53));
    EXPECT_EQ(plot.Objects().cursorMarker->PointWidth(), 10);
    EXPECT_EQ(plot.Objects().cursorMarker->GetColor(), QColor(255, 0, 0));
    EXPECT_EQ(plot.Objects().liveMarker->GetColor(), QColor(255, 255, 0));
    EXPECT_EQ(plot.Background(), CFanCurvePlot::bandModeBackground);
}

TEST_F(WindowTest, AlwaysOnShutOffStartsLeftOfThePlot)
{
    Combo(1013)->setEditText(QStringLiteral("Always On"));
    window->Entry().DrawShutOffLine();
    EXPECT_EQ(window->Plot().ShutOffLine(), (std::vector<QPointF>{{-159, 0}, {-159, 30}, {101, 30}}));
    EXPECT_LT(window->Plot().Objects().indexAxis->ValueToPixel(-159), window->Chart()->PlottingRect().left);
}

TEST_F(WindowTest, ShutOffAboveTheBottomBandIsCutAndWithoutABottomBandBecomesNA)
{
    Combo(1013)->setEditText(QStringLiteral("40"));
    window->Entry().DrawShutOffLine();
    EXPECT_EQ(Text(1013), QStringLiteral("24"));
    EXPECT_EQ(window->Plot().ShutOffLine(), (std::vector<QPointF>{{97, 0}, {97, 30}, {101, 30}}));

    Combo(1013)->setEditText(QStringLiteral("1x"));
    window->Entry().DrawShutOffLine();
    EXPECT_EQ(Text(1013), QString());
    EXPECT_TRUE(window->Plot().ShutOffLine().empty());

    Combo(1013)->setEditText(QStringLiteral("10"));
    Edit(*window, 1054)->setText(QStringLiteral("N/A"));
    window->Entry().DrawShutOffLine();
    EXPECT_EQ(Text(1013), QStringLiteral("N/A"));
    EXPECT_TRUE(window->Plot().ShutOffLine().empty());
}

TEST_F(WindowTest, BandStepsReadTheFieldsAndRedrawCurveAndStep)
{
    Edit(*window, 1056)->setText(QStringLiteral("40"));
    window->Entry().PlaceTopBand();
    EXPECT_EQ(window->Plot().CurveLine()[161], QPointF(161, 90));
    EXPECT_EQ(window->Plot().CurveLine()[131], QPointF(131, 60));

    Edit(*window, 1053)->setText(QStringLiteral("N/A"));
    window->Entry().PlaceTopBand();
    EXPECT_EQ(window->Plot().CurveLine()[200], QPointF(200, 0));

    // Voltage form: 5 V is entry 128; the step uses 25.5 per volt.
    window->ApplyVoltageLabels();
    Edit(*window, 1055)->setText(QStringLiteral("5"));
    Edit(*window, 1054)->setText(QStringLiteral("20"));
    Combo(1013)->setEditText(QStringLiteral("3"));
    window->Entry().PlaceBottomBand();
    EXPECT_EQ(window->Plot().Curve().bottomBandIndex, 128);
    EXPECT_EQ(window->Plot().ShutOffLine(), (std::vector<QPointF>{{76, 0}, {76, 20}, {128, 20}}));
    EXPECT_EQ(Text(1033), QString());
}

TEST_F(WindowTest, RebuildBandCurveStartsFromTheFieldsAlone)
{
    CFanCurvePlot &plot = window->Plot();
    window->Document().ChangeCurve([](FanCurve &curve) {
        curve.curveFan.fill(77);
        curve.pointDefined.fill(1);
    });
    plot.SetBackground(CFanCurvePlot::multipointBackground);
    window->Entry().RebuildBandCurve();
    FanCurve expected;
    expected.LoadDefault();
    for (int i = 101; i < 256; ++i)
        EXPECT_EQ(plot.Curve().curveFan[i], expected.curveFan[i]) << i;
    EXPECT_EQ(plot.Curve().curveFan[100], 30);
    EXPECT_EQ(plot.Curve().curveX[100], 100);
    EXPECT_EQ(plot.Curve().DefinedPointCount(), 3); // 0 (made by the top band step), 101 and 201
    EXPECT_EQ(plot.Background(), CFanCurvePlot::bandModeBackground);
    EXPECT_EQ(plot.ShutOffLine().size(), 3u);
}

TEST_F(WindowTest, TheWindowShowsTheCurveOnTheBandModeBackground)
{
    window->show();
    CChartCtrl *chart = window->Chart();
    chart->Redraw();
    const QImage image = chart->BackBuffer();
    CFanCurvePlot &plot = window->Plot();
    const qreal ratio = image.devicePixelRatio();
    auto at = [&](int entry, double percent) {
        return image.pixelColor(
            (QPointF(plot.Objects().indexAxis->ValueToPixel(entry), plot.Objects().pwmAxis->ValueToPixel(percent)) *
             ratio)
                .toPoint());
    };
    EXPECT_EQ(at(230, 90), QColor(0, 0, 0)); // flat top of the curve
    int dashPixels = 0;                      // the dashed step's top: dashes with gaps between them
    for (int entry = 45; entry < 95; ++entry)
        dashPixels += at(entry, 30) == QColor(255, 119, 53) ? 1 : 0;
    EXPECT_GT(dashPixels, 10);
    EXPECT_LT(dashPixels, 50);
    EXPECT_EQ(at(150, 15), CFanCurvePlot::bandModeBackground);
}
