// Tests of the serial port against the simulated controller.
#include "MonitorCsv.h"
#include "PtyController.h"
#include "ReplayRecording.h"
#include "SerialException.h"
#include "SerialPort.h"

#include "Pump.h"
#include <QCoreApplication>

#include <QElapsedTimer>
#include <QTest>

#include <QTemporaryDir>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {
QByteArray ReadFor(CSerialPort &port, int ms)
{
    QByteArray all;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        Pump(20);
        all += port.Read(4096);
    }
    return all;
}
} // namespace

TEST(SerialPort, OpensTheSimulatorAndReadsFramesWithoutWaiting)
{
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    CSerialPort port;
    std::vector<bool> changes;
    QObject::connect(&port, &CSerialPort::connectionChanged, [&](bool connected) { changes.push_back(connected); });
    port.Open(sim.DevicePath(), 9600);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(changes, std::vector<bool>{true});

    port.Purge(CSerialPort::PurgeRxClear);
    QElapsedTimer timer;
    timer.start();
    const QByteArray nothing = port.Read(70);
    EXPECT_LT(timer.elapsed(), 50); // returns at once
    (void)nothing;

    const QByteArray frames = ReadFor(port, 1300);
    EXPECT_TRUE(frames.contains("<ADCT)142/ PWM: 0/ Alarm: 0>")) << frames.constData();

    port.Write("S");
    port.Write("X");
    const QByteArray half = ReadFor(port, 300);
    EXPECT_EQ(half, QByteArray(160, static_cast<char>(0xFF))); // no profile stored yet
    EXPECT_EQ(sim.Received(), QByteArray("SX"));

    port.Close();
    port.Close(); // closed already: nothing happens
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

TEST(SerialPort, RefusalsSayWhatIsWrong)
{
    CSerialPort port;
    bool connected = true;
    QObject::connect(&port, &CSerialPort::connectionChanged, [&](bool c) { connected = c; });
    try {
        port.Open(QStringLiteral("/dev/no-such-port"), 9600);
        FAIL() << "opened a missing port";
    } catch (const CSerialException &error) {
        EXPECT_EQ(error.ErrorCode(), 2);
        EXPECT_TRUE(error.Text().contains(QStringLiteral("/dev/no-such-port")));
    }
    EXPECT_FALSE(connected);

    // Held by another program: the simulator's line opened twice.
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    CSerialPort first;
    first.Open(sim.DevicePath(), 9600);
    try {
        port.Open(sim.DevicePath(), 9600);
        FAIL() << "opened a busy port";
    } catch (const CSerialException &error) {
        EXPECT_TRUE(error.Text().contains(QStringLiteral("in use by another program"))) << error.Text().toStdString();
    }
}

TEST(SerialPort, APermissionRefusalSuggestsAGroupOnlyWhereJoiningItHelps)
{
    const QString device = QStringLiteral("/dev/ttyUSB0");
    // A group that may read and write the device, and is not root's: join it.
    const QString join = PermissionAdvice(device, QStringLiteral("dialout"), true);
    EXPECT_TRUE(join.contains(device));
    EXPECT_TRUE(join.contains(QStringLiteral("sudo usermod -aG dialout $USER"))) << join.toStdString();
    EXPECT_TRUE(join.contains(QStringLiteral("log out and in again")));
    // root's group, a group shut out of the device, or none: a udev rule, never a group to join.
    for (const auto &[group, readWrite] :
         {std::pair{QStringLiteral("root"), true}, {QStringLiteral("dialout"), false}, {QString(), true}}) {
        const QString advice = PermissionAdvice(device, group, readWrite);
        EXPECT_FALSE(advice.contains(QStringLiteral("usermod"))) << advice.toStdString();
        EXPECT_TRUE(advice.contains(QStringLiteral("udev rule"))) << advice.toStdString();
        EXPECT_TRUE(advice.contains(QStringLiteral("\"Permissions\" in the README")));
    }

    // On a real device node the mode and the group decide.
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    const QByteArray path = sim.DevicePath().toLocal8Bit();
    ASSERT_EQ(::chmod(path.constData(), 0600), 0);
    EXPECT_FALSE(PermissionRefusalText(sim.DevicePath()).contains(QStringLiteral("usermod")));
    const struct group *dialout = ::getgrnam("dialout");
    if (::geteuid() == 0 && dialout) {
        ASSERT_EQ(::chown(path.constData(), static_cast<uid_t>(-1), dialout->gr_gid), 0);
        ASSERT_EQ(::chmod(path.constData(), 0660), 0);
        EXPECT_TRUE(PermissionRefusalText(sim.DevicePath()).contains(QStringLiteral("sudo usermod -aG dialout $USER")));
    }
}

TEST(SerialPort, OnlyACharacterDeviceIsOpenedAsAPort)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const QString &path : {fifo, plain.fileName(), dir.path()}) {
        CSerialPort port;
        try {
            port.Open(path, 9600); // a FIFO would wait for a writer for ever
            FAIL() << "opened " << path.toStdString();
        } catch (const CSerialException &error) {
            EXPECT_TRUE(error.Text().contains(QStringLiteral("is not a serial port"))) << error.Text().toStdString();
        }
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST(SerialPort, APermissionRefusalNamesTheFix)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens any device; run as a normal user to see this refusal";
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    ::chmod(sim.DevicePath().toLocal8Bit().constData(), 0);
    CSerialPort port;
    try {
        port.Open(sim.DevicePath(), 9600);
        FAIL() << "opened an unreadable device";
    } catch (const CSerialException &error) {
        EXPECT_TRUE(error.Text().contains(QStringLiteral("udev rule"))) << error.Text().toStdString();
    }
}

TEST(SerialPort, AHangUpIsReportedAsARemovedDevice)
{
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    CSerialPort port;
    bool removed = false;
    QObject::connect(&port, &CSerialPort::deviceLost, [&] { removed = true; });
    port.Open(sim.DevicePath(), 9600);
    sim.HangUp();
    QElapsedTimer timer;
    timer.start();
    while (!removed && timer.elapsed() < 3000) {
        Pump(20);
        try {
            port.Read(70);
        } catch (const CSerialException &) {
        }
    }
    EXPECT_TRUE(removed);
    port.Close();
}

TEST(ControllerModel, GoesBackToFramesWhenATransferStopsHalfWay)
{
    ControllerModel model; // holds no profile
    qint64 now = 0;
    model.Receive(QByteArrayLiteral("S"), now);
    model.Receive(QByteArrayLiteral("X"), now += 2000);
    EXPECT_EQ(model.Poll(now += 10), QByteArray(160, static_cast<char>(0xFF)));
    // The tool saw "no profile" and sends no second "X": frames come again after a while.
    EXPECT_TRUE(model.Poll(now += 1000).isEmpty());
    EXPECT_TRUE(model.Poll(now += ControllerModel::kUploadIdleMs).startsWith("<ADCT)"));

    // A download that stops after its first half.
    model.Receive(QByteArrayLiteral("W") + QByteArray(160, 'a'), now += 1000);
    EXPECT_TRUE(model.Poll(now += 8000).isEmpty());
    EXPECT_TRUE(model.Poll(now += ControllerModel::kReceiveIdleMs).startsWith("<ADCT)"));
    EXPECT_FALSE(model.Stored().has_value());
}

TEST(ControllerModel, CanKeepAnotherProfileThanItReceived)
{
    ControllerModel model;
    ControllerModel::Faults faults;
    faults.storeDifferent = true;
    model.SetFaults(faults);
    ProfileImage sent{};
    sent[263] = 4;
    model.Receive(QByteArrayLiteral("W") + QByteArray(reinterpret_cast<const char *>(sent.data()), 320), 0);
    ASSERT_TRUE(model.Stored().has_value());
    EXPECT_EQ((*model.Stored())[263], 5);
    EXPECT_NE((*model.Stored())[150], sent[150]);
    int differing = 0;
    for (int i = 0; i < 320; ++i)
        differing += (*model.Stored())[static_cast<std::size_t>(i)] != sent[static_cast<std::size_t>(i)];
    EXPECT_EQ(differing, 2);
}

namespace {
std::vector<MonitorCsvRecord> ThreeRecordedReadings()
{
    const QString csv =
        MonitorCsvHeader() + QStringLiteral("\n"
                                            "2026-12-06T10:00:00.000Z,0.0,temperature,24.8,29.8,0,128,76\n"
                                            "2026-12-06T10:00:02.000Z,2.0,temperature,30.0,40.0,3,120,102\n"
                                            "not a reading\n"
                                            "2026-12-06T10:00:06.000Z,6.0,voltage,4.0,50.0,,100,128\n");
    return ParseMonitorCsv(csv);
}
} // namespace

TEST(ControllerModel, ReplaysARecordingAtItsPaceOrFaster)
{
    const std::vector<MonitorCsvRecord> records = ThreeRecordedReadings();
    ASSERT_EQ(records.size(), 3u);
    for (const double speed : {1.0, 4.0}) {
        ControllerModel model;
        model.SetReplay(records, speed, 0);
        QByteArray sent = model.Poll(0);
        EXPECT_EQ(sent, QByteArray("<ADCT)128/ PWM: 76/ Alarm: 0>")) << speed;
        EXPECT_TRUE(model.Poll(1000).isEmpty()); // taken by a tool: the clock starts
        EXPECT_TRUE(model.Poll(1000 + static_cast<qint64>(1999 / speed)).isEmpty()) << speed;
        EXPECT_EQ(model.Poll(1000 + static_cast<qint64>(2000 / speed)), QByteArray("<ADCT)120/ PWM: 102/ Alarm: 3>"));
        EXPECT_FALSE(model.ReplayOver());
        EXPECT_EQ(model.Poll(1000 + static_cast<qint64>(6000 / speed)), QByteArray("<ADCV)100/ PWM: 128/ Alarm: >"));
        EXPECT_TRUE(model.ReplayOver());
        EXPECT_TRUE(model.Poll(100000).isEmpty()); // over: silent, none of its own frames
    }
}

TEST(ControllerModel, AReplayWaitsForAReaderAndLosesNothingToATransfer)
{
    ControllerModel model;
    model.SetReplay(ThreeRecordedReadings(), 1, 0);
    EXPECT_EQ(model.Poll(0, false), QByteArray("<ADCT)128/ PWM: 76/ Alarm: 0>"));
    // Nobody reads the line for a minute: the recording waits.
    EXPECT_TRUE(model.Poll(60000, false).isEmpty());
    EXPECT_TRUE(model.Poll(61990).isEmpty()); // read now: the clock runs from here
    EXPECT_TRUE(model.Poll(63989).isEmpty());
    EXPECT_EQ(model.Poll(63990), QByteArray("<ADCT)120/ PWM: 102/ Alarm: 3>"));

    // An upload's quiet spans the moment the last reading was due; it comes after it instead.
    qint64 now = 63990;
    model.Receive(QByteArrayLiteral("S"), now);
    model.Receive(QByteArrayLiteral("X"), now += 2000);
    EXPECT_EQ(model.Poll(now += 10), QByteArray(160, static_cast<char>(0xFF)));
    QByteArray after;
    while (after.isEmpty() && now < 100000)
        after = model.Poll(now += 10);
    EXPECT_EQ(after, QByteArray("<ADCV)100/ PWM: 128/ Alarm: >"));
    EXPECT_TRUE(model.ReplayOver());
}

// The recording PC's clock went back an hour between two rows: the pace goes on a second a row.
TEST(ControllerModel, AReplayKeepsItsPaceAcrossAClockSetBackInTheRecording)
{
    QString csv = MonitorCsvHeader() + QLatin1Char('\n');
    for (int i = 0; i < 4; ++i)
        csv += QStringLiteral("2026-12-06T10:00:0%1.000Z,%1.0,temperature,30.0,50.0,0,120,%2\n").arg(i).arg(i);
    for (int i = 4; i < 8; ++i)
        csv += QStringLiteral("2026-12-06T09:00:0%1.000Z,%1.0,temperature,30.0,50.0,0,120,%2\n").arg(i).arg(i);
    ControllerModel model;
    model.SetReplay(ParseMonitorCsv(csv), 1, 0);
    std::vector<int> framesPerSecond;
    model.Poll(0);
    model.Poll(100); // taken: the clock starts
    for (qint64 now = 1100; now <= 8100; now += 1000)
        framesPerSecond.push_back(static_cast<int>(model.Poll(now).count('<')));
    // The row after the set-back comes with the one before it (the step between them is unknown).
    EXPECT_EQ(framesPerSecond, std::vector<int>({1, 1, 2, 1, 1, 1, 0, 0}));
    EXPECT_TRUE(model.ReplayOver());
}

// A speed far from 1 keeps the pace in range: nothing overflows, nothing comes early.
TEST(ControllerModel, AReplayKeepsItsPaceAtAnySpeed)
{
    ControllerModel slow;
    slow.SetReplay(ThreeRecordedReadings(), 1e-300, 0);
    EXPECT_EQ(slow.Poll(0), QByteArray("<ADCT)128/ PWM: 76/ Alarm: 0>"));
    slow.Poll(1000);                                   // taken: the clock starts
    EXPECT_TRUE(slow.Poll(qint64(1) << 60).isEmpty()); // two seconds recorded are beyond any wait
    EXPECT_FALSE(slow.ReplayOver());

    ControllerModel fast;
    fast.SetReplay(ThreeRecordedReadings(), 1e300, 0);
    EXPECT_EQ(fast.Poll(0).count('<'), 3); // six seconds recorded take no time at all
    EXPECT_TRUE(fast.ReplayOver());
}

namespace {
QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}
} // namespace

TEST(ReplayFile, ReadsARegularFileUpToItsLimitAsItComes)
{
    QTemporaryDir dir;
    // A line longer than any reading, CRLF ends, a quoted field: the readings around are kept.
    const QByteArray text = MonitorCsvHeader().toUtf8() + "\r\n" + QByteArray(10000, 'x') + "\r\n" +
                            "\"2026-12-06T10:00:00.000Z\",0.0,temperature,24.8,29.8,0,128,76\r\n" +
                            "2026-12-06T10:00:02.000Z,2.0,voltage,4.0,50.0,,100,128";
    const QString path = WriteFile(dir, QStringLiteral("r.csv"), text);
    const LoadedReplay atLimit = LoadReplay(path, text.size());
    EXPECT_TRUE(atLimit.error.isEmpty()) << atLimit.error.toStdString();
    ASSERT_EQ(atLimit.recording.Size(), 2u);
    EXPECT_EQ(atLimit.recording[1].offsetMs, 2000u);
    EXPECT_EQ(ReplayRecording::FrameOf(atLimit.recording[0]), QByteArray("<ADCT)128/ PWM: 76/ Alarm: 0>"));
    EXPECT_EQ(ReplayRecording::FrameOf(atLimit.recording[1]), QByteArray("<ADCV)100/ PWM: 128/ Alarm: >"));

    const LoadedReplay over = LoadReplay(path, text.size() - 1);
    EXPECT_TRUE(over.recording.Empty());
    EXPECT_TRUE(over.error.contains(QStringLiteral("%1 bytes, more than").arg(text.size())))
        << over.error.toStdString();

    const QString none = WriteFile(dir, QStringLiteral("none.csv"), MonitorCsvHeader().toUtf8() + "\nnot a reading\n");
    EXPECT_EQ(LoadReplay(none).error, none + QStringLiteral(": no readings to replay"));
    EXPECT_TRUE(LoadReplay(dir.filePath(QStringLiteral("missing.csv"))).error.contains(QStringLiteral("No such file")));
}

TEST(MonitorCsv, QuotesAsRfc4180AndReadsQuotedFieldsBack)
{
    EXPECT_EQ(MonitorCsvField(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(MonitorCsvField(QStringLiteral("a,b")), QStringLiteral("\"a,b\""));
    EXPECT_EQ(MonitorCsvField(QStringLiteral("say \"hi\"")), QStringLiteral("\"say \"\"hi\"\"\""));
    EXPECT_EQ(MonitorCsvField(QStringLiteral("two\nlines")), QStringLiteral("\"two\nlines\""));

    const QStringList fields{QString(), QStringLiteral("a,b"), QStringLiteral("\""), QStringLiteral("x\r\ny"),
                             QStringLiteral(" spaced ")};
    QStringList written;
    for (const QString &field : fields)
        written << MonitorCsvField(field);
    EXPECT_EQ(SplitCsvRecord(written.join(QLatin1Char(','))), fields);
    for (const char *broken : {"\"open", "\"a\"b,c", "a\"b,c", "a,\"b"})
        EXPECT_FALSE(SplitCsvRecord(QString::fromLatin1(broken)).has_value()) << broken;

    // A recording with a port column whose name holds a line break, and a row quoted whole as a
    // spreadsheet saves it: however the bytes come, the same two readings.
    const QByteArray text = MonitorCsvHeader().toUtf8() + ",port\n" +
                            "2026-12-06T10:00:00.000Z,0.0,temperature,24.8,29.8,0,128,76,\"/dev/odd\nname\"\n" +
                            "\"2026-12-06T10:00:01.000Z\",\"1.0\",\"temperature\",\"30.0\",\"40.0\",\"3\",\"120\","
                            "\"102\",\"a,\"\"b\"\"\"\n";
    const std::vector<MonitorCsvRecord> whole = ParseMonitorCsv(QString::fromUtf8(text));
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[0].adc, 128);
    EXPECT_EQ(whole[1].adc, 120);
    std::vector<int> trickled;
    MonitorCsvSplitter splitter;
    const MonitorCsvSplitter::Take take = [&](const MonitorCsvRecord &record) { trickled.push_back(record.adc); };
    for (char byte : text)
        splitter.Feed(QByteArrayView(&byte, 1), take);
    splitter.Finish(take);
    EXPECT_EQ(trickled, (std::vector<int>{128, 120}));
}
