// Tests of what the window keeps for daily use: remembered settings and the recording of readings.
#include "SimWindowFixture.h"

#include "ComSetting.h"
#include "HistoryWindow.h"
#include "MonitorCsv.h"
#include "PortList.h"
#include "PtyController.h"
#include "ReadingHistory.h"
#include "ReadingRecorder.h"

#include "Pump.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

#include <sys/mount.h>
#include <sys/stat.h>

namespace {
class DailyUseTest : public SimWindowTest
{
protected:
    bool ShowsWindow() const override { return false; }
    void PollAfterFrame(PtyController &controller)
    {
        controller.AdvanceClock(1000);
        Pump(40);
        window->Link().OnPollTimer();
    }
    QStringList Lines(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                   : QStringList();
    }
    QTemporaryDir files;
};
} // namespace

TEST_F(DailyUseTest, PortFoldersAndChoicesSurviveARestart)
{
    Connect(sim);
    window->OnBnClickedConnect(); // disconnect
    ui.saveNames.push_back(files.filePath(QStringLiteral("p.dat")));
    window->OnBnClickedSaveFile();
    ui.openNames.push_back({files.filePath(QStringLiteral("p.dat"))});
    window->OnBnClickedOpenFile();
    ASSERT_GE(ui.fileDialogs.size(), 2u);
    EXPECT_EQ(ui.fileDialogs[0].filters, kProfileFileFilters); // "Profile files (*.dat)" first, then "All files"
    EXPECT_EQ(ui.fileDialogs[1].filters, kProfileFileFilters);

    CPlexaDlg again;
    ASSERT_TRUE(Start(again, ownLock + QStringLiteral("-again")));
    ui.comSettings.push_back(std::nullopt);
    again.OnBnClickedConnect();
    EXPECT_EQ(ui.comSettingShownWith.back().device, sim.DevicePath()); // the dialog proposes it first
    ui.saveNames.push_back(QString());
    again.OnBnClickedSaveFile();
    EXPECT_EQ(ui.fileDialogs.back().folder, QDir(files.path()).absolutePath());
    ui.openNames.push_back({});
    again.OnBnClickedOpenFile();
    EXPECT_EQ(ui.fileDialogs.back().folder, QDir(files.path()).absolutePath());
}

TEST_F(DailyUseTest, AReplugFindsThePortByItsStableName)
{
    // A by-id folder as udev makes it: a link named after the adapter's serial number.
    const QString byId = files.filePath(QStringLiteral("by-id"));
    ASSERT_TRUE(QDir().mkpath(byId));
    const QString link = byId + QStringLiteral("/usb-FTDI_FT232R_A1B2C3-if00-port0");
    ASSERT_TRUE(QFile::link(sim.DevicePath(), link));
    EXPECT_EQ(StablePortName(sim.DevicePath(), byId), link);
    EXPECT_EQ(StablePortName(QStringLiteral("/dev/no-such-port"), byId), QStringLiteral("/dev/no-such-port"));
    // After the replug the device may have another name; the link leads to it, and the dialog finds it.
    const std::vector<PortEntry> ports{{QStringLiteral("/dev/ttyS0"), QStringLiteral("16550A")},
                                       {sim.DevicePath(), kSimulatorDescription}};
    EXPECT_EQ(comsetting::Preselection(ports, link), 1);
    EXPECT_EQ(comsetting::Preselection(ports, QStringLiteral("/dev/ttyUSB9")), -1);
}

TEST_F(DailyUseTest, RecordingWritesEachShownReadingAndSurvivesAReconnect)
{
    QAction *record = Action(QStringLiteral("Record to CSV"));
    ASSERT_NE(record, nullptr);
    const QString path = files.filePath(QStringLiteral("session.csv"));
    ui.saveNames.push_back(path);
    record->trigger();
    EXPECT_EQ(ui.fileDialogs.back().filters, kCsvFileFilters);
    EXPECT_TRUE(record->isChecked());
    EXPECT_TRUE(record->text().startsWith(QStringLiteral("Stop recording"))) << record->text().toStdString();

    Connect(sim);
    sim.Model().SetInput(128);
    PollAfterFrame(sim); // not monitoring: nothing shown, nothing recorded
    EXPECT_EQ(Lines(path), QStringList{MonitorCsvHeader()});
    Monitor();
    for (int alarm : {0, 3}) {
        sim.Model().SetAlarm(alarm);
        PollAfterFrame(sim);
    }
    EXPECT_EQ(Lines(path).size(), 3); // flushed line by line: readable while the file is open

    // The cable goes and comes back: the same recording goes on.
    window->OnBnClickedConnect();
    PtyController other;
    ASSERT_TRUE(other.Start());
    other.Model().SetInput(200);
    Connect(other);
    Monitor();
    PollAfterFrame(other);
    ASSERT_EQ(Lines(path).size(), 4);
    std::vector<MonitorCsvRecord> records;
    for (const QString &line : Lines(path).mid(1)) {
        const std::optional<MonitorCsvRecord> parsed = ParseMonitorCsvRow(line);
        ASSERT_TRUE(parsed.has_value()) << line.toStdString();
        records.push_back(*parsed);
    }
    EXPECT_EQ(records[0].adc, 128);
    EXPECT_EQ(records[1].alarm, 3);
    EXPECT_EQ(records[2].adc, 200);
    EXPECT_LE(records[0].time, records[2].time);
    EXPECT_TRUE(ui.boxes.empty()); // nothing said about it but the menu entry
    EXPECT_EQ(Text(1043).contains(QStringLiteral("record")), false);

    record->trigger(); // stop
    EXPECT_FALSE(record->isChecked());
    EXPECT_EQ(record->text(), QStringLiteral("Record to CSV..."));
    PollAfterFrame(other);
    EXPECT_EQ(Lines(path).size(), 4);
    window->OnBnClickedConnect();
}

TEST_F(DailyUseTest, ARecordingIsNeverWrittenIntoADeviceOrAFifo)
{
    ReadingRecorder recorder;
    const QString fifo = files.filePath(QStringLiteral("fifo.csv"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QString &target : {fifo, QStringLiteral("/dev/null")}) {
        EXPECT_FALSE(recorder.Start(target).isEmpty()) << target.toStdString();
        EXPECT_FALSE(recorder.Recording());
    }
    // In the window: said once, and the entry stays as it was.
    QAction *record = Action(QStringLiteral("Record to CSV"));
    ui.saveNames.push_back(QStringLiteral("/dev/null"));
    record->trigger();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("not a regular file")));
    EXPECT_FALSE(record->isChecked());
}

TEST_F(DailyUseTest, TheHistoryKeepsWhatWasShownInOrderAcrossAReconnect)
{
    Connect(sim);
    sim.Model().SetInput(128);
    PollAfterFrame(sim); // monitoring off: nothing shown, nothing kept
    EXPECT_TRUE(window->History().IsEmpty());
    Monitor();
    for (int alarm : {0, 1, 0}) {
        sim.Model().SetAlarm(alarm);
        PollAfterFrame(sim);
    }
    ASSERT_EQ(window->History().Size(), 3);
    EXPECT_NEAR(window->History().At(0).value, 24.8, 0.05);
    EXPECT_TRUE(std::isnan(window->History().At(1).value)); // "Temperature: Unknown" was shown
    EXPECT_EQ(window->History().At(1).alarm, 1);

    window->OnBnClickedConnect(); // the cable goes; another controller, another reading
    PtyController other;
    ASSERT_TRUE(other.Start());
    other.Model().SetInput(200);
    Connect(other);
    PollAfterFrame(other); // monitoring is off again after the reconnect
    EXPECT_EQ(window->History().Size(), 3);
    Monitor();
    PollAfterFrame(other);
    ASSERT_EQ(window->History().Size(), 4);
    EXPECT_LT(window->History().At(3).value, window->History().At(0).value); // 200 is a warmer ADC count
    for (int i = 1; i < window->History().Size(); ++i)
        EXPECT_LE(window->History().TimeAt(i - 1), window->History().TimeAt(i));

    // The window opens on it, follows it, and is where it was left at the next start.
    QAction *open = Action(QStringLiteral("History"));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    open->trigger();
    ASSERT_NE(window->HistoryWindow(), nullptr);
    EXPECT_TRUE(window->HistoryWindow()->isVisible());
    EXPECT_TRUE(window->HistoryWindow()->IsFollowing());
    window->HistoryWindow()->setGeometry(100, 120, 700, 400);
    window->HistoryWindow()->close();
    window->OnBnClickedConnect();
    CPlexaDlg again;
    ASSERT_TRUE(Start(again, ownLock + QStringLiteral("-again")));
    again.ShowHistory();
    EXPECT_EQ(again.HistoryWindow()->size(), QSize(700, 400));
    EXPECT_TRUE(again.History().IsEmpty()); // a history is the session's own
}

TEST_F(DailyUseTest, TheTrailShowsWhereTheControllerWorkedUntilMonitoringStops)
{
    Connect(sim);
    Monitor();
    for (int adc : {100, 120, 140}) {
        sim.Model().SetInput(adc);
        PollAfterFrame(sim);
    }
    const std::vector<QPointF> trail = window->Plot().Trail();
    ASSERT_EQ(trail.size(), 3u);
    EXPECT_EQ(trail.back(), window->Plot().LiveMarker().front());
    EXPECT_GT(trail.front().x(), trail.back().x()); // a higher count is cooler: the point moved left
    for (int i = 0; i < 70; ++i)
        PollAfterFrame(sim);
    EXPECT_EQ(window->Plot().Trail().size(), 60u);            // the last 60 only
    QTest::mouseClick(window->Control(1052), Qt::LeftButton); // monitor off
    EXPECT_TRUE(window->Plot().Trail().empty());
}

TEST_F(DailyUseTest, ARecordingReplaysIntoTheSameHistory)
{
    const QString path = files.filePath(QStringLiteral("session.csv"));
    ui.saveNames.push_back(path);
    Action(QStringLiteral("Record to CSV"))->trigger();
    Connect(sim);
    Monitor();
    const std::pair<int, int> frames[] = {{100, 0}, {130, 3}, {160, 0}, {230, 1}, {90, 0}};
    for (const auto &[adc, alarm] : frames) {
        sim.Model().SetInput(adc);
        sim.Model().SetAlarm(alarm);
        PollAfterFrame(sim);
    }
    Action(QStringLiteral("Stop recording"))->trigger();
    window->OnBnClickedConnect();
    const int recorded = window->History().Size();
    ASSERT_EQ(recorded, 5);

    // The recording played back by a simulated controller, into the same window.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    PtyController replay;
    ASSERT_TRUE(replay.Start());
    replay.Model().SetReplay(ParseMonitorCsv(QString::fromUtf8(file.readAll())), 1, replay.Now());
    Connect(replay);
    Monitor();
    // Polled often enough that each recorded frame comes in a read of its own.
    for (int i = 0; i < 400 && window->History().Size() < 2 * recorded; ++i) {
        replay.AdvanceClock(10);
        Pump(5);
        window->Link().OnPollTimer();
    }
    ASSERT_EQ(window->History().Size(), 2 * recorded);
    for (int i = 0; i < recorded; ++i) {
        const HistoryReading seen = window->History().At(i);
        const HistoryReading again = window->History().At(recorded + i);
        EXPECT_EQ(again.kind, seen.kind) << i;
        EXPECT_EQ(again.alarm, seen.alarm) << i;
        EXPECT_EQ(again.pwmPercent, seen.pwmPercent) << i;
        EXPECT_TRUE(again.value == seen.value || (std::isnan(again.value) && std::isnan(seen.value))) << i;
    }
}

namespace {
// A small tmpfs of the test's own, to fill up; unmounted with the test.
class FullDisk
{
public:
    FullDisk()
    {
        mounted = ::mount("orvex-test", QFile::encodeName(dir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                          "size=4k") == 0;
    }
    ~FullDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted; }
    QString FilePath(const QString &name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
    bool mounted = false;
};
} // namespace

// A disk that fills up: the box gives the system's reason, the file ends on its last whole line.
TEST_F(DailyUseTest, ARecordingOnAFullDiskSaysWhyAndEndsOnAWholeLine)
{
    const FullDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a small tmpfs to fill needs root (CAP_SYS_ADMIN)";
    const QString path = disk.FilePath(QStringLiteral("session.csv"));
    ui.saveNames.push_back(path);
    QAction *record = Action(QStringLiteral("Record to CSV"));
    record->trigger();
    ASSERT_TRUE(ui.boxes.empty());
    Connect(sim);
    Monitor();
    // 4 KiB hold some sixty lines; the bound only stops a broken test.
    for (int i = 0; i < 200 && ui.boxes.empty(); ++i)
        PollAfterFrame(sim);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("No space left on device"))) << ui.boxes[0].text.toStdString();
    EXPECT_FALSE(ui.boxes[0].text.contains(QStringLiteral("Unknown error")));
    EXPECT_FALSE(record->isChecked());
    EXPECT_EQ(record->text(), QStringLiteral("Record to CSV..."));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.endsWith('\n'));
    const QStringList lines = Lines(path);
    EXPECT_GT(lines.size(), 50);
    for (const QString &line : lines.mid(1))
        EXPECT_TRUE(ParseMonitorCsvRow(line).has_value()) << line.toStdString();
}

// A file deleted under a recording is noticed at the next reading: a box, and the entry is free.
TEST_F(DailyUseTest, ARecordingWhoseFileIsDeletedStopsAndSaysSo)
{
    const QString path = files.filePath(QStringLiteral("session.csv"));
    ui.saveNames.push_back(path);
    QAction *record = Action(QStringLiteral("Record to CSV"));
    record->trigger();
    Connect(sim);
    Monitor();
    PollAfterFrame(sim);
    ASSERT_EQ(Lines(path).size(), 2);
    ASSERT_TRUE(QFile::remove(path));
    PollAfterFrame(sim);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.contains(path)) << ui.boxes[0].text.toStdString();
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("deleted"))) << ui.boxes[0].text.toStdString();
    EXPECT_FALSE(record->isChecked());
    EXPECT_EQ(record->text(), QStringLiteral("Record to CSV..."));
    PollAfterFrame(sim);
    EXPECT_EQ(ui.boxes.size(), 1u); // said once
    EXPECT_FALSE(QFile::exists(path));
}
