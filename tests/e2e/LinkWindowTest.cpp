// Tests of the window's link against the simulated controller.
#include "SimWindowFixture.h"

#include "Pump.h"

#include <QElapsedTimer>

namespace {
class LinkTest : public SimWindowTest
{
protected:
    // Here by a click on the button, not by its handler.
    void Connect() { Connect(sim); }
    void Connect(const PtyController &controller)
    {
        ui.comSettings.push_back(ComSettings{controller.DevicePath(), 1, 9600});
        QTest::mouseClick(window->Control(1007), Qt::LeftButton);
        ASSERT_TRUE(window->Link().Connected());
    }
    // One poll after the controller had time to send a frame.
    void PollAfterFrame()
    {
        Pump(1100);
        window->Link().OnPollTimer();
    }
};
} // namespace

TEST_F(LinkTest, ConnectThenAFrameEnablesTheTransfers)
{
    Connect();
    EXPECT_EQ(Text(1007), QStringLiteral("\nDisconnect\nfrom PORT"));
    ASSERT_EQ(ui.comSettingShownWith.size(), 1u);
    EXPECT_EQ(ui.comSettingShownWith[0].baudRate, 9600);
    EXPECT_FALSE(Enabled(1004));
    PollAfterFrame();
    EXPECT_TRUE(Enabled(1004));
    EXPECT_TRUE(Enabled(1057));
    // Up to 70 bytes make one read: a frame, or two when they came close together.
    EXPECT_TRUE(window->Link().LastReply().startsWith(QStringLiteral("<ADCT)142/ PWM: 0/ Alarm: 0>")));
    EXPECT_LE(window->Link().LastReply().size(), 70);

    // Closing is refused while connected; after Disconnect it works.
    EXPECT_FALSE(window->close());
    QTest::mouseClick(window->Control(1007), Qt::LeftButton);
    EXPECT_FALSE(window->Link().Connected());
    EXPECT_EQ(Text(1007), QStringLiteral("\nConnect\nto PORT"));
    EXPECT_FALSE(Enabled(1004));
    EXPECT_FALSE(Enabled(1052));
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ui.boxes.size(), 1u);

    // The next COM Setting proposes the port used last.
    ui.comSettings.push_back(std::nullopt);
    window->OnBnClickedConnect();
    EXPECT_EQ(ui.comSettingShownWith.back().device, sim.DevicePath());
    EXPECT_FALSE(window->Link().Connected());
}

TEST_F(LinkTest, SilenceOrNoiseIsSaidOnTheSeventhPollWithoutAFrame)
{
    Connect();
    PollAfterFrame();
    ASSERT_TRUE(Enabled(1004));
    ControllerModel::Faults faults;
    faults.silent = true;
    sim.Model().SetFaults(faults);
    Pump(1100);
    window->SetStatusText(QStringLiteral("shown"));
    for (int poll = 1; poll <= 6; ++poll) {
        window->Link().OnPollTimer();
        EXPECT_TRUE(Enabled(1004)) << poll;
    }
    window->Link().OnPollTimer();
    EXPECT_FALSE(Enabled(1004));
    EXPECT_FALSE(Enabled(1057));
    EXPECT_EQ(Text(1043), SilentText(sim.DevicePath())); // rather than an empty box
    EXPECT_EQ(window->Link().EmptyReadCount(), 0);
    // It stays while the silence lasts, through the display's clearing every seventh poll.
    for (int poll = 8; poll <= 30; ++poll) {
        window->Link().OnPollTimer();
        EXPECT_EQ(Text(1043), SilentText(sim.DevicePath())) << poll;
    }

    // Frames again: the notice goes, and only the notice.
    sim.Model().SetFaults({});
    PollAfterFrame();
    EXPECT_TRUE(Enabled(1004));
    EXPECT_EQ(Text(1043), QString());

    // Noise is no frame either.
    faults = {};
    faults.garbage = true;
    sim.Model().SetFaults(faults);
    for (int poll = 1; poll <= 6; ++poll)
        PollAfterFrame();
    EXPECT_EQ(Text(1043), QString());
    PollAfterFrame();
    EXPECT_EQ(Text(1043), NoiseText(sim.DevicePath()));
}

TEST_F(LinkTest, MonitoringShowsReadingsAlarmAndTheLivePoint)
{
    sim.Model().SetInput(128);
    sim.Model().SetAlarm(0);
    Connect();
    Monitor();
    PollAfterFrame();
    EXPECT_EQ(Text(1001), QStringLiteral("Temperature: 24.8"));
    EXPECT_EQ(Text(1002), QStringLiteral("PWM: 0"));
    EXPECT_EQ(Text(1043), QStringLiteral("         SYSTEM HEALTHY\n    - NO ACTIVE ALARMS -"));
    EXPECT_EQ(window->Plot().LiveMarkerSize(), 18);
    ASSERT_EQ(window->Plot().LiveMarker().size(), 1u);

    sim.Model().SetAlarm(1);
    PollAfterFrame();
    EXPECT_EQ(Text(1001), QStringLiteral("Temperature: Unknown"));
    EXPECT_EQ(Text(1043), QStringLiteral("                  WARNING:\n Thermistor Short Circuit Alarm ON"));

    QTest::mouseClick(Check(1052), Qt::LeftButton);
    EXPECT_TRUE(window->Plot().LiveMarker().empty());
    EXPECT_EQ(Text(1001), QString());
    PollAfterFrame(); // the alarm text goes with the next frame
    EXPECT_EQ(Text(1043), QString());
}

TEST_F(LinkTest, CablePulledShowsTheWarningAndTheWindowStaysUsable)
{
    Connect();
    PollAfterFrame();
    sim.HangUp();
    Pump(300);
    window->Link().OnPollTimer();
    window->Link().OnPollTimer();
    EXPECT_FALSE(window->Link().Connected());
    EXPECT_EQ(Text(1043), QStringLiteral("                  WARNING:\n Communication Cable Removed"));
    EXPECT_EQ(Text(1007), QStringLiteral("\nConnect\nto PORT"));
    EXPECT_FALSE(Enabled(1004));
    EXPECT_FALSE(Enabled(1052));
    EXPECT_TRUE(ui.boxes.empty()); // no error box for a pulled cable
    EXPECT_TRUE(window->close());
}

TEST_F(LinkTest, ACablePulledJustBeforeDisconnectDoesNotEndTheNextConnection)
{
    Connect();
    PollAfterFrame();
    sim.HangUp();
    Pump(300);                                                // the loss is seen, no poll has run yet
    QTest::mouseClick(window->Control(1007), Qt::LeftButton); // disconnect
    EXPECT_FALSE(window->Link().Connected());

    PtyController other;
    ASSERT_TRUE(other.Start());
    Connect(other);
    Pump(1100);
    window->Link().OnPollTimer();
    EXPECT_TRUE(window->Link().Connected());
    EXPECT_NE(Text(1043), QStringLiteral("                  WARNING:\n Communication Cable Removed"));
    EXPECT_TRUE(Enabled(1004));
    QTest::mouseClick(window->Control(1007), Qt::LeftButton);
}

TEST_F(LinkTest, APortThatCannotBeOpenedSaysSoAndStaysDisconnected)
{
    ui.comSettings.push_back(ComSettings{QStringLiteral("/dev/vanished-port"), 1, 9600});
    window->OnBnClickedConnect();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Stop);
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("/dev/vanished-port")));
    EXPECT_FALSE(window->Link().Connected());
    EXPECT_EQ(Text(1007), QStringLiteral("\nConnect\nto PORT"));

    window->Link().OnPollTimer(); // polls while disconnected do nothing
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(LinkTest, ANewControllerStartsWithoutTheLastOnesThermistorFault)
{
    sim.Model().SetAlarm(2);
    Connect();
    Monitor();
    PollAfterFrame();
    ASSERT_EQ(Text(1001), QStringLiteral("Temperature: Unknown"));
    QTest::mouseClick(window->Control(1007), Qt::LeftButton); // disconnect

    PtyController other; // another controller, no alarm code the tracker reacts to
    ASSERT_TRUE(other.Start());
    other.Model().SetAlarm(3);
    Connect(other);
    Monitor();
    Pump(1100);
    window->Link().OnPollTimer();
    EXPECT_TRUE(Text(1001).startsWith(QStringLiteral("Temperature: "))) << Text(1001).toStdString();
    EXPECT_NE(Text(1001), QStringLiteral("Temperature: Unknown"));
    QTest::mouseClick(window->Control(1007), Qt::LeftButton);
}
