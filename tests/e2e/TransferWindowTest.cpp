// Tests of the window's downloads and uploads against the simulated controller.
#include "SimWindowFixture.h"

#include "DownloadJournal.h"
#include "GradientProgressCtrl.h"

#include "Pump.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {
// The window with the simulator behind a pseudo-terminal; the test owns every clock.
class TransferTest : public SimWindowTest
{
protected:
    void SetUp() override
    {
        SimWindowTest::SetUp();
        // The controller answers at once; waits only let its bytes through.
        window->Transfers().SetWait([this](int ms) {
            Pump(20);             // the controller takes in what was sent at once,
            sim.AdvanceClock(ms); // then the wait passes on its clock
            Pump(30);
        });
        Connect(sim);
        Pump(30);
        window->Link().OnPollTimer(); // takes what waited in the line
        sim.Model().SetInput(100);
    }
    void TearDown() override
    {
        // Not in the middle of a transfer, when Connect is off.
        if (window->Control(1007)->isEnabled())
            SimWindowTest::TearDown();
    }
    // Runs the download's steps on the test's clock, with a poll each second of it.
    void RunDownload()
    {
        window->OnBnClickedDownload();
        ASSERT_TRUE(window->Transfers().StepTimer().isActive());
        int guard = 0;
        while (window->Transfers().StepTimer().isActive() && ++guard < 10) {
            const int period = window->Transfers().StepTimer().interval();
            for (int elapsed = 0; elapsed < period; elapsed += 1000) {
                sim.AdvanceClock(std::min(1000, period - elapsed));
                Pump(20);
                window->Transfers().OnProgressTimer();
                window->Link().OnPollTimer();
            }
            window->Transfers().OnStepTimer();
            Pump(20);
        }
        Settle();
    }
    // Runs the loop until the transfer in progress is over: a click returns before it is.
    void Settle()
    {
        QElapsedTimer bound;
        bound.start();
        while (window->Transfers().Busy() && bound.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ASSERT_FALSE(window->Transfers().Busy());
    }
};
} // namespace

TEST_F(TransferTest, DownloadSendsExactlyTheSavedImageAndShowsTheReply)
{
    QTemporaryDir dir;
    ui.saveNames.push_back(dir.filePath(QStringLiteral("p.dat")));
    window->OnBnClickedSaveFile();
    QFile saved(dir.filePath(QStringLiteral("p.dat")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray image = saved.readAll();

    RunDownload();
    // 321 bytes: "W" then the image; then the read-back that verifies it, as an upload reads.
    EXPECT_EQ(sim.Received(), QByteArray("W") + image + QByteArray("SXX"));
    ASSERT_TRUE(sim.Model().Stored().has_value());
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(sim.Model().Stored()->data()), 320), image);

    // The reply: pieces 3 to 6 without the menu line.
    QString expected;
    for (int i = 2; i < 6; ++i)
        expected += QString::fromLatin1(ControllerModel::kReplyPieces[i]);
    expected.remove(QStringLiteral("x - Test Mode, w - Configuration Mode"));
    EXPECT_EQ(Text(1043), expected + QLatin1Char('\n') + CTransfers::kVerified);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(window->Link().Stage(), ExchangeStage::Finish);
    EXPECT_TRUE(Enabled(1004));
    EXPECT_TRUE(Enabled(1057));
    EXPECT_TRUE(Enabled(1052));
    EXPECT_TRUE(Enabled(1056));
    EXPECT_EQ(window->Link().PollTimer().interval(), 2000);
    EXPECT_EQ(window->Progress().GetPos(), 0);
    EXPECT_TRUE(window->Transfers().ChartEditEnabled());

    // The controller now drives its fan from the curve the window drew: the warmest step with its code.
    const int adc = 100;
    const TemperatureCodeTable table;
    const auto index = table.Find(adc, 0);
    ASSERT_TRUE(index.has_value());
    const int lastIndexWithCode = [&] {
        int last = *index;
        while (last + 1 < 255 && table[last + 1] == adc)
            ++last;
        return last;
    }();
    EXPECT_EQ(sim.Model().PwmOutput(),
              static_cast<int>(std::lround(window->Plot().Curve().curveFan[lastIndexWithCode] * 2.55)));
}

TEST_F(TransferTest, DownloadRefusalsSendNothing)
{
    qobject_cast<QLineEdit *>(window->Control(1053))->setText(QStringLiteral("N/A"));
    window->OnBnClickedDownload();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Set empty field parameters or switch to Multipoint mode."));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Parameters Not Set."));
    EXPECT_FALSE(window->Transfers().StepTimer().isActive());
    EXPECT_TRUE(window->Transfers().ChartEditEnabled());
    EXPECT_TRUE(Enabled(1056));

    window->OnBnClickedConnect(); // disconnect
    Check(1031)->setChecked(true);
    window->OnBnClickedDownload();
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, QStringLiteral("Connect to Com Port"));
    EXPECT_EQ(ui.boxes[1].caption, QStringLiteral("App not connected to Com port."));
    Pump(30);
    EXPECT_TRUE(sim.Received().isEmpty());
}

TEST_F(TransferTest, LockedWhileSendingAndMultipointFieldsStayRested)
{
    QTest::mouseClick(Check(1031), Qt::LeftButton);
    window->OnBnClickedDownload();
    for (int id : {1007, 1004, 1003, 1005, 1006, 1022, 1031, 1008})
        EXPECT_FALSE(Enabled(id)) << id;
    window->Transfers().OnProgressTimer();
    window->Transfers().OnStepTimer();
    EXPECT_EQ(Text(1043), QStringLiteral("                        WARNING:\n DO NOT REMOVE COMMUNICATION CABLE"));
    while (window->Transfers().StepTimer().isActive())
        window->Transfers().OnStepTimer();
    EXPECT_TRUE(Enabled(1022));
    for (int id : {1053, 1056, 1054, 1055, 1013})
        EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(TransferTest, ProgressFillsToSixtyAndTurnsWhite)
{
    window->OnBnClickedDownload();
    for (int tick = 0; tick < 70; ++tick)
        window->Transfers().OnProgressTimer();
    EXPECT_EQ(window->Progress().GetPos(), 60);
    EXPECT_EQ(window->Progress().TextColor(), QColor(Qt::white));
}

TEST_F(TransferTest, CablePulledMidDownloadLeavesAUsableWindow)
{
    window->OnBnClickedDownload();
    window->Transfers().OnStepTimer(); // "W" went
    sim.HangUp();
    Pump(200);
    window->Link().OnPollTimer();
    EXPECT_FALSE(window->Link().Connected());
    EXPECT_FALSE(window->Transfers().StepTimer().isActive());
    EXPECT_FALSE(window->Transfers().ProgressTimer().isActive());
    // Both facts stay: the cable went, and the download with it.
    EXPECT_EQ(Text(1043), kCableRemoved + QLatin1Char('\n') + CTransfers::kDownloadFailed);
    EXPECT_TRUE(Enabled(1007));
    EXPECT_TRUE(Enabled(1056));
    EXPECT_FALSE(Enabled(1004));
    EXPECT_TRUE(window->Transfers().ChartEditEnabled());
    // The journal keeps the attempt, as failed and why.
    const std::vector<JournalEntry> entries =
        DownloadJournal(window->StateFolderPath() + QStringLiteral("/journal")).Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].result, QStringLiteral("failed"));
    EXPECT_EQ(entries[0].detail, kCableRemoved);
    EXPECT_TRUE(window->close());
}

TEST_F(TransferTest, UploadAfterDownloadShowsTheSameProfile)
{
    qobject_cast<QLineEdit *>(window->Control(1009))->setText(QStringLiteral("7"));
    Combo(1015)->setEditText(QStringLiteral("70"));
    RunDownload();
    ui.openNames.clear();
    window->LoadDefaultTemplate();
    sim.AdvanceClock(3000);
    Pump(30);
    window->OnBnClickedUpload();
    Settle();
    EXPECT_EQ(Text(1043), QStringLiteral("Successfully Uploaded File From Controller"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Uploaded from %1 - Tamlin Orvex Interface").arg(sim.DevicePath()));
    EXPECT_EQ(Text(1009), QStringLiteral("7"));
    EXPECT_EQ(Text(1015), QStringLiteral("70"));
    EXPECT_TRUE(window->Link().PollEnabled());
    EXPECT_TRUE(Enabled(1004));
    EXPECT_FALSE(Enabled(1057));
    EXPECT_TRUE(Enabled(1052));
    EXPECT_FALSE(Check(1052)->isChecked());
    EXPECT_TRUE(sim.Received().endsWith("SXX"));
}

TEST_F(TransferTest, UploadFromAnEmptyControllerSaysSo)
{
    window->OnBnClickedUpload();
    Settle();
    EXPECT_EQ(Text(1043), QStringLiteral("NO PROFILE FOUND ON CONTROLLER\nPlease create/open a profile and press "
                                         "'Download to Controller' button "));
    EXPECT_EQ(sim.Received(), QByteArray("SX"));
    EXPECT_TRUE(Enabled(1004));
    EXPECT_TRUE(Enabled(1057));
    EXPECT_FALSE(Enabled(1052));
    EXPECT_TRUE(window->Link().PollEnabled());
    EXPECT_EQ(Text(1056), QStringLiteral("50"));
}

TEST_F(TransferTest, AShortUploadAnswerChangesNothing)
{
    ProfileImage stored{};
    stored[263] = 9;
    sim.Model().LoadProfile(stored);
    ControllerModel::Faults faults;
    faults.shortAnswers = true;
    sim.Model().SetFaults(faults);
    window->OnBnClickedUpload();
    Settle();
    EXPECT_EQ(Text(1043), CTransfers::kUploadShort);
    EXPECT_EQ(Text(1009), QStringLiteral("1"));
    EXPECT_TRUE(window->Link().PollEnabled());
    EXPECT_TRUE(Enabled(1057));
}

TEST_F(TransferTest, CablePulledMidUploadLeavesAUsableWindow)
{
    window->Transfers().SetWait([this](int) {
        sim.HangUp();
        Pump(50);
    });
    window->OnBnClickedUpload();
    Settle();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Stop);
    EXPECT_TRUE(window->Link().PollEnabled());
    window->Link().OnPollTimer();
    EXPECT_FALSE(window->Link().Connected());
    EXPECT_EQ(Text(1043), QStringLiteral("                  WARNING:\n Communication Cable Removed"));
    EXPECT_TRUE(window->close());
}

TEST_F(TransferTest, ASlowControllerStillUploadsWhole)
{
    ProfileImage stored{};
    for (int i = 0; i < kProfileImageSize; ++i)
        stored[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    stored[264] = 0x06;
    sim.Model().LoadProfile(stored);
    ControllerModel::Faults faults;
    faults.trickleBytesPerSecond = 960; // 9600 baud: the image takes 333 ms
    sim.Model().SetFaults(faults);
    window->OnBnClickedUpload();
    Settle();
    EXPECT_EQ(Text(1043), CTransfers::kUploadDone);
    EXPECT_EQ(window->Transfers().UploadImage(), stored);
}

TEST_F(TransferTest, AFloodOfFramesIsReadSeventyBytesAtATime)
{
    ControllerModel::Faults faults;
    faults.floodFramesPerSecond = 50;
    sim.Model().SetFaults(faults);
    for (int poll = 0; poll < 5; ++poll) {
        sim.AdvanceClock(1000);
        Pump(40);
        window->Link().OnPollTimer();
        EXPECT_LE(window->Link().LastReply().size(), 70);
    }
    EXPECT_TRUE(Enabled(1004));
    EXPECT_TRUE(window->Link().LastReply().startsWith(QLatin1Char('<')));
}

TEST_F(TransferTest, AWriteThatFailsEndsTheDownloadAndSaysWhy)
{
    window->OnBnClickedDownload();
    sim.HangUp(); // the next write meets a dead line before any poll noticed it
    window->Transfers().OnStepTimer();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(Text(1043), CTransfers::kDownloadFailed);
    EXPECT_FALSE(window->Transfers().StepTimer().isActive());
    EXPECT_FALSE(window->Transfers().ProgressTimer().isActive());
    EXPECT_TRUE(Enabled(1007));
    EXPECT_TRUE(Enabled(1056));
    EXPECT_EQ(window->Link().Stage(), ExchangeStage::Finish);
    window->Link().OnPollTimer(); // the poll then finds the line gone
    EXPECT_FALSE(window->Link().Connected());
    EXPECT_TRUE(window->close());
}

TEST_F(TransferTest, AControllerHoldingAnotherProfileIsNotVerified)
{
    ControllerModel::Faults faults;
    faults.storeDifferent = true;
    sim.Model().SetFaults(faults);
    RunDownload();
    EXPECT_TRUE(
        Text(1043).contains(QStringLiteral("\nNOT VERIFIED: the controller holds another profile (versionNumber, "
                                           "curve[")))
        << Text(1043).toStdString();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Stop);
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("versionNumber: 1 -> 2"))) << ui.boxes[0].text.toStdString();
    // The window's own profile is untouched by the read-back.
    EXPECT_EQ(Text(1009), QStringLiteral("1"));
    EXPECT_TRUE(Enabled(1004));
    EXPECT_TRUE(Enabled(1056));
}

TEST_F(TransferTest, VerifyingIsAChoiceTheWindowRemembers)
{
    QAction *verify = Action(QStringLiteral("Verify after download"));
    ASSERT_NE(verify, nullptr);
    EXPECT_TRUE(verify->isCheckable());
    EXPECT_TRUE(verify->isChecked()); // on unless the user said otherwise
    verify->trigger();
    RunDownload();
    EXPECT_EQ(sim.Received().size(), 321); // the download alone
    EXPECT_FALSE(Text(1043).contains(QStringLiteral("VERIFIED")));
    EXPECT_FALSE(Text(1043).contains(QStringLiteral("Verified")));

    // The next start of the window remembers it.
    window->OnBnClickedConnect();
    CPlexaDlg again;
    ASSERT_TRUE(Start(again, ownLock + QStringLiteral("-2")));
    QAction *remembered = Action(again, QStringLiteral("Verify after download"));
    ASSERT_NE(remembered, nullptr);
    EXPECT_FALSE(remembered->isChecked());
    EXPECT_FALSE(again.Transfers().VerifyAfterDownload());
}

TEST_F(TransferTest, InputDuringAnUploadIsDroppedNotReplayed)
{
    ProfileImage stored = window->BuildProfileImage();
    stored[263] = 19;
    sim.Model().LoadProfile(stored);
    QApplication::setActiveWindow(window.get());
    QTest::mouseClick(Check(1031), Qt::LeftButton); // the chart takes keys in multipoint mode
    window->Chart()->setFocus();
    const CMultipointEditor::Spot spot = window->Multipoint().KeyboardSpot();
    bool locked = true;
    int waits = 0;
    window->Transfers().SetWait([&](int ms) {
        if (waits++ == 0) {
            for (int id : {1007, 1004, 1003, 1005, 1006, 1022, 1008, 1056, 1031})
                locked = locked && !Enabled(id);
            // The user keeps working meanwhile: arrows and Enter on the chart, a click on Download.
            for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Return})
                QTest::keyClick(window->Chart(), key);
            QTest::mouseClick(window->Control(1004), Qt::LeftButton);
        }
        Pump(20);
        sim.AdvanceClock(ms);
        Pump(30);
    });
    ui.answers.push_back(MsgAnswer::Discard); // multipoint mode on is an unsaved edit
    window->OnBnClickedUpload();
    Settle();
    Pump(100);
    window->Multipoint().OnChartTimer();
    EXPECT_TRUE(locked); // the profile's controls looked disabled while it ran
    EXPECT_EQ(Text(1043), CTransfers::kUploadDone);
    EXPECT_EQ(Text(1009), QStringLiteral("19"));
    EXPECT_EQ(window->Multipoint().KeyboardSpot().index, spot.index); // the keys went nowhere
    EXPECT_EQ(window->Multipoint().KeyboardSpot().pwm, spot.pwm);
    // The uploaded band profile's anchors (0, its bands, 255), no point from the keys.
    EXPECT_EQ(window->Plot().Curve().DefinedPointCount(), 4);
    EXPECT_FALSE(window->Transfers().StepTimer().isActive()); // no download started
    EXPECT_TRUE(Enabled(1008));
}

TEST_F(TransferTest, TheTransferButtonsComeBackOnlyWhenTheUploadIsOver)
{
    sim.Model().LoadProfile(window->BuildProfileImage());
    std::vector<bool> alive;
    window->Transfers().SetWait([&](int ms) {
        Pump(20);
        sim.AdvanceClock(ms);
        Pump(30);
        window->Link().OnPollTimer(); // the poll ticks on through every wait
        alive.push_back(Enabled(1004) || Enabled(1057));
    });
    window->OnBnClickedUpload();
    Settle();
    ASSERT_FALSE(alive.empty());
    EXPECT_EQ(std::count(alive.begin(), alive.end(), true), 0);
    EXPECT_EQ(Text(1043), CTransfers::kUploadDone);
}

TEST_F(TransferTest, TheDownloadsConfirmationOutlivesTheFramesAfterIt)
{
    // Monitoring was on before the download; its frames then come again, unshown.
    Monitor();
    sim.AdvanceClock(1000);
    Pump(30);
    window->Link().OnPollTimer();
    ASSERT_FALSE(Text(1043).isEmpty()); // monitoring's alarm text
    window->Transfers().SetVerifyAfterDownload(false);
    RunDownload();
    const QString reply = Text(1043);
    ASSERT_TRUE(reply.contains(QStringLiteral("Configuration saved.")));
    for (int poll = 0; poll < 4; ++poll) {
        sim.AdvanceClock(1000);
        Pump(30);
        window->Link().OnPollTimer();
    }
    EXPECT_EQ(Text(1043), reply);
}

TEST_F(TransferTest, ACurveThatStopsTheFanWhenHotIsAskedAbout)
{
    // Multipoint with a single point: the curve falls to 0 % at its hot end.
    QTest::mouseClick(Check(1031), Qt::LeftButton);
    window->Multipoint().AddCurvePoint({0, 100, 50});
    ui.answers.push_back(MsgAnswer::No);
    window->OnBnClickedDownload();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::YesNoDefaultNo); // Enter must not send it
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("above ")) && ui.boxes[0].text.contains(QStringLiteral("°C")))
        << ui.boxes[0].text.toStdString();
    EXPECT_FALSE(window->Transfers().StepTimer().isActive());
    EXPECT_TRUE(Enabled(1008));
    EXPECT_TRUE(Enabled(1031));

    QTemporaryDir dir;
    ui.answers.push_back(MsgAnswer::No);
    ui.saveNames.push_back(dir.filePath(QStringLiteral("hot.dat")));
    window->OnBnClickedSaveFile();
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(ui.proposedNames.empty()); // no file dialog after No
    ui.answers.push_back(MsgAnswer::Yes);
    window->OnBnClickedSaveFile();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("hot.dat"))));

    ui.answers.push_back(MsgAnswer::Yes);
    window->OnBnClickedDownload();
    EXPECT_TRUE(window->Transfers().StepTimer().isActive());
    window->Transfers().AbortDownload();
}

TEST_F(TransferTest, AReplyOfMonitorFramesOnlyIsNotConfirmed)
{
    ControllerModel::Faults faults;
    faults.noReply = true;
    sim.Model().SetFaults(faults);
    window->Transfers().SetVerifyAfterDownload(false);
    RunDownload();
    // Frames came all through the reply's time: none of them is shown as the reply.
    EXPECT_EQ(Text(1043), CTransfers::kNotConfirmed);
    EXPECT_TRUE(Enabled(1004));
    EXPECT_TRUE(Enabled(1056));

    // With the read-back, what the controller holds decides.
    window->Transfers().SetVerifyAfterDownload(true);
    RunDownload();
    EXPECT_EQ(Text(1043), CTransfers::kNotConfirmed + QLatin1Char('\n') + CTransfers::kVerified);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TransferTest, AFrameReadTogetherWithTheReplyIsNoPartOfIt)
{
    window->Transfers().SetVerifyAfterDownload(false);
    window->OnBnClickedDownload();
    for (int step = 0; step < 3; ++step) { // "W" and the two halves
        window->Transfers().OnStepTimer();
        Pump(20);
    }
    ASSERT_EQ(window->Link().Stage(), ExchangeStage::AlmostThere);
    for (int piece = 1; piece <= 5; ++piece) {
        sim.AdvanceClock(1000);
        Pump(20);
        window->Link().OnPollTimer();
    }
    // The sixth piece and the first frame after it wait in the line together: one read.
    sim.AdvanceClock(2500);
    Pump(20);
    window->Link().OnPollTimer();
    QString expected;
    for (int i = 2; i < 6; ++i)
        expected += QString::fromLatin1(ControllerModel::kReplyPieces[i]);
    expected.remove(kControllerMenuLine);
    EXPECT_EQ(Text(1043), expected);
    window->Transfers().OnStepTimer(); // the end
    EXPECT_EQ(Text(1043), expected);
    EXPECT_FALSE(window->Transfers().Busy());
}

TEST_F(TransferTest, TheUploadClickReturnsAtOnceAndTheWindowWaitsByState)
{
    sim.Model().LoadProfile(window->BuildProfileImage());
    window->OnBnClickedUpload();
    // The click is over and the upload is not: nothing waited inside it.
    ASSERT_TRUE(window->Transfers().Busy());
    EXPECT_EQ(Text(1043), kCableWarning);
    for (int id : {1007, 1004, 1057, 1003, 1005, 1006, 1031, 1056, 1052})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(window->Chart()->isEnabled());
    EXPECT_FALSE(window->Link().PollEnabled());
    EXPECT_FALSE(window->close()); // connected: refused as ever
    Settle();
    EXPECT_EQ(Text(1043), CTransfers::kUploadDone);
    EXPECT_TRUE(window->Chart()->isEnabled());
    EXPECT_TRUE(window->Link().PollEnabled());
    EXPECT_TRUE(Enabled(1056));
    EXPECT_TRUE(Enabled(1007));
}

TEST_F(TransferTest, EveryDownloadGoesToTheJournalAndOnlyAConfirmedOneCountsAsSaved)
{
    const DownloadJournal journal(window->StateFolderPath() + QStringLiteral("/journal"));
    TypeAndLeave(1009, QStringLiteral("7"), 1053);
    ASSERT_TRUE(window->isWindowModified());
    const ProfileImage sent = window->BuildProfileImage();
    RunDownload();
    // The controller holds what was edited: the profile is no longer unsaved work.
    EXPECT_FALSE(window->isWindowModified());
    std::vector<JournalEntry> entries = journal.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].result, QStringLiteral("verified"));
    EXPECT_EQ(entries[0].verified, std::optional<bool>(true));
    EXPECT_EQ(entries[0].image, sent);
    EXPECT_EQ(entries[0].device, sim.DevicePath());
    EXPECT_EQ(entries[0].source, QStringLiteral("orvex"));
    EXPECT_FALSE(entries[0].reply.isEmpty());

    // A controller that stores something else: journalled as such, and the edit stays unsaved.
    TypeAndLeave(1009, QStringLiteral("8"), 1053);
    ControllerModel::Faults faults;
    faults.storeDifferent = true;
    sim.Model().SetFaults(faults);
    RunDownload();
    EXPECT_TRUE(window->isWindowModified());
    entries = journal.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].result, QStringLiteral("NOT VERIFIED"));
    EXPECT_EQ(entries[0].verified, std::optional<bool>(false));
    EXPECT_TRUE(entries[0].detail.contains(QStringLiteral("versionNumber"))) << entries[0].detail.toStdString();

    // Without the read-back, a download nobody confirmed is a failure, never a saved profile.
    sim.Model().SetFaults(ControllerModel::Faults{.noReply = true});
    window->Transfers().SetVerifyAfterDownload(false);
    RunDownload();
    EXPECT_TRUE(window->isWindowModified());
    entries = journal.Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].result, QStringLiteral("failed"));
    EXPECT_EQ(entries[0].verified, std::nullopt);

    // The history dialog opens what was sent.
    ui.journalChoices.push_back(2); // the oldest: version 7
    window->ShowDownloadHistory();
    EXPECT_EQ(Text(1009), QStringLiteral("7"));
}
