// The chart's accessible description follows the controller's readings while connected.
#include "SimWindowFixture.h"

#include "Pump.h"

#include <QAccessible>

namespace {
class ChartDescriptionLive : public SimWindowTest
{
protected:
    QString Description() const
    {
        return QAccessible::queryAccessibleInterface(window->Chart())->text(QAccessible::Description);
    }
    void PollAfterFrame()
    {
        Pump(1100);
        window->Link().OnPollTimer();
    }
};
} // namespace

TEST_F(ChartDescriptionLive, TheLiveReadingIsSaidWhileConnectedAndGoesWithIt)
{
    sim.Model().SetInput(128);
    sim.Model().SetAlarm(0);
    const QString curveOnly = Description();
    EXPECT_FALSE(curveOnly.contains(QStringLiteral("Live reading")));

    ui.comSettings.push_back(ComSettings{sim.DevicePath(), 1, 9600});
    QTest::mouseClick(window->Control(1007), Qt::LeftButton);
    ASSERT_TRUE(window->Link().Connected());
    Monitor();
    PollAfterFrame();
    EXPECT_EQ(Description(), curveOnly + QStringLiteral(" Live reading: Temperature: 24.8, PWM: 0."));

    // A new reading replaces the old one.
    sim.Model().SetAlarm(1);
    PollAfterFrame();
    EXPECT_EQ(Description(), curveOnly + QStringLiteral(" Live reading: Temperature: Unknown, PWM: 0."));

    // Monitoring off, then disconnected: the curve alone again.
    QTest::mouseClick(Check(1052), Qt::LeftButton);
    EXPECT_EQ(Description(), curveOnly);
    Monitor();
    PollAfterFrame();
    ASSERT_NE(Description(), curveOnly);
    window->OnBnClickedConnect();
    ASSERT_FALSE(window->Link().Connected());
    EXPECT_EQ(Description(), curveOnly);
}
