// Tests of the default template and the two forms.
#include "WindowFixture.h"

TEST_F(WindowTest, CurveAfterStartIsTheDefaultTemplateCurve)
{
    const CFanCurvePlot &plot = window->Plot();
    const auto &line = plot.CurveLine();
    ASSERT_EQ(line.size(), 256u);
    EXPECT_EQ(line[99], QPointF(99, 0));
    EXPECT_EQ(line[100], QPointF(101, 30));
    EXPECT_EQ(line[171], QPointF(171, 72));
    EXPECT_EQ(line[200], QPointF(200, 89));
    EXPECT_EQ(line[255], QPointF(255, 90));
    EXPECT_EQ(plot.Curve().topBandIndex, 201);
    EXPECT_EQ(plot.Curve().bottomBandIndex, 101);
    EXPECT_EQ(plot.ShutOffLine(), (std::vector<QPointF>{{41, 0}, {41, 30}, {101, 30}}));
    EXPECT_EQ(plot.Background(), QColor(49, 183, 240));
    EXPECT_EQ(plot.ValueAxisTitle(), QStringLiteral("Temperature(°C)"));
    EXPECT_EQ(plot.PwmAxisTitle(), QStringLiteral("PWM(%)"));
}

TEST_F(WindowTest, FormsSwitchLabelsAxisAndOptions)
{
    window->ApplyVoltageLabels();
    EXPECT_EQ(Text(1022), QStringLiteral("Voltage"));
    for (int band : {1053, 1056, 1054, 1055})
        EXPECT_EQ(Text(band), QString()) << band;
    EXPECT_EQ(Text(1018), QStringLiteral("High"));
    EXPECT_EQ(Text(1024), QStringLiteral("Disabled"));
    EXPECT_EQ(Text(1014), QStringLiteral("N/A"));
    EXPECT_EQ(Text(1039), QStringLiteral("Disabled"));
    EXPECT_EQ(Text(1015), QStringLiteral("N/A"));
    EXPECT_EQ(Text(1017), QStringLiteral("N/A"));
    const std::pair<int, const char *> voltage[] = {{1026, "Voltage Top Band(V)"},
                                                    {1027, "Voltage Bottom Band(V)"},
                                                    {1028, "Low Voltage Shut Off(V)"},
                                                    {1029, "High Voltage Alarm(V)"},
                                                    {1030, "Low Voltage Alarm(V)"}};
    for (const auto &[id, text] : voltage)
        EXPECT_EQ(Text(id), QString::fromUtf8(text));
    EXPECT_EQ(window->Plot().ValueAxisTitle(), QStringLiteral("Voltage(V)"));

    // The curve stays until the next band entries move it.
    EXPECT_EQ(window->Plot().Curve().curveFan[171], 72);

    window->ApplyTemperatureLabels();
    EXPECT_EQ(Text(1022), QStringLiteral("Temperature"));
    EXPECT_EQ(Text(1013), QStringLiteral("N/A"));
    EXPECT_EQ(Text(1028), QStringLiteral("Low Temperature Shut Off(°C)"));
    EXPECT_EQ(window->Plot().AxisMax(), 63.5);
    EXPECT_TRUE(window->Plot().ShutOffLine().empty());
}
