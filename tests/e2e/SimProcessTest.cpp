// orvex-sim as a user starts it: what --link may replace, what --replay and --speed accept, and
// what orvexctl reads from a replay.
#include "OrvexctlProcess.h"

#include "MonitorCsv.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {
class SimProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString Path(const QString &name) const { return dir.filePath(name); }
    QString Write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    // A simulator that is expected to refuse its start: its exit and what it said.
    CliRun Refused(const QStringList &args)
    {
        QProcess sim;
        sim.setProcessEnvironment(TestEnvironment(runtime.path()));
        sim.start(QStringLiteral(ORVEX_SIM), args);
        return Finished(sim, 10000);
    }
    CliRun Monitor(const QStringList &args) { return RunOrvexctl(QStringList{"monitor"} + args, {}, runtime.path()); }

    QTemporaryDir runtime;
    QTemporaryDir dir;
};

QByteArray Recording(const QStringList &rows)
{
    return (QStringList{MonitorCsvHeader()} + rows).join(QLatin1Char('\n')).toUtf8() + '\n';
}

QString LinkTarget(const QString &path)
{
    return QFileInfo(path).isSymLink() ? QFile::symLinkTarget(path) : QString();
}
} // namespace

// Nothing at the link's path is destroyed unless it is a link a simulator may have left.
TEST_F(SimProcessTest, LinkReplacesOnlyALinkToAPseudoTerminal)
{
    const QString file = Write(QStringLiteral("keep.txt"), "keep me\n");
    const QString folder = Path(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString toNull = Path(QStringLiteral("to-null"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), toNull));
    const QString toFile = Path(QStringLiteral("to-file"));
    ASSERT_TRUE(QFile::link(file, toFile));
    QStringList refused{file, folder, toNull, toFile};
    // A device node of our own, standing for one such as /dev/null.
    const QString device = Path(QStringLiteral("null"));
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        refused << device;

    for (const QString &path : refused) {
        const CliRun run = Refused({"--link", path});
        EXPECT_EQ(run.code, 1) << path.toStdString();
        EXPECT_TRUE(run.err.contains(path)) << run.err.toStdString();
    }
    EXPECT_EQ(ReadFileBytes(file), QByteArray("keep me\n"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(LinkTarget(toNull), QStringLiteral("/dev/null"));
    EXPECT_EQ(LinkTarget(toFile), file);
    if (refused.contains(device)) {
        struct stat info
        {
        };
        ASSERT_EQ(::lstat(QFile::encodeName(device).constData(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(),
              refused.size()); // no temporary link left beside them

    // A link a killed simulator left behind is taken over, and goes with the new one.
    const QString stable = Path(QStringLiteral("orvex-a"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/999"), stable));
    {
        SimProcess sim(runtime.path(), {"--link", stable});
        ASSERT_FALSE(sim.device.isEmpty()) << sim.process.readAllStandardError().toStdString();
        EXPECT_EQ(LinkTarget(stable), sim.device);
        sim.Terminate();
        EXPECT_EQ(sim.process.exitCode(), 0);
    }
    EXPECT_FALSE(QFileInfo(stable).isSymLink());

    // Something else put there while it ran stays at its end.
    SimProcess sim(runtime.path(), {"--link", stable});
    ASSERT_FALSE(sim.device.isEmpty());
    ASSERT_TRUE(QFile::remove(stable));
    Write(QStringLiteral("orvex-a"), "someone else's\n");
    sim.Terminate();
    EXPECT_EQ(ReadFileBytes(stable), QByteArray("someone else's\n"));
}

TEST_F(SimProcessTest, ReplayRefusesWhatIsNoRecordingAndSpeedsThatAreNoPace)
{
    const QString fifo = Path(QStringLiteral("fifo.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A FIFO would hold the simulator in open() for ever, /dev/zero fill its memory.
    for (const QString &path : {fifo, QStringLiteral("/dev/zero")}) {
        const CliRun run = Refused({"--replay", path});
        ASSERT_EQ(run.code, 1) << path.toStdString();
        EXPECT_TRUE(run.err.contains(path + QStringLiteral(": not a regular file"))) << run.err.toStdString();
    }
    // Over the limit, and said so: not "no readings" (sparse: it takes no room on the disk).
    const QString big = Path(QStringLiteral("big.csv"));
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Recording({QStringLiteral("2026-12-06T10:00:00.000Z,0.0,temperature,24.8,29.8,0,128,76")}));
    ASSERT_TRUE(file.resize((qint64(1) << 30) + 1));
    file.close();
    CliRun run = Refused({"--replay", big});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("1073741825 bytes, more than the 1073741824 a replay reads")))
        << run.err.toStdString();

    run = Refused({"--replay", Write(QStringLiteral("empty.csv"), Recording({}))});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("no readings to replay"))) << run.err.toStdString();

    const QString good =
        Write(QStringLiteral("good.csv"),
              Recording({QStringLiteral("2026-12-06T10:00:00.000Z,0.0,temperature,24.8,29.8,0,128,76")}));
    for (const char *speed : {"nan", "inf", "-inf", "0", "-2", "fast", "1e-400", ""}) {
        run = Refused({"--replay", good, "--speed", speed});
        EXPECT_EQ(run.code, 1) << speed;
        EXPECT_TRUE(run.err.contains(QStringLiteral("--speed takes a number above 0")))
            << speed << run.err.toStdString();
    }
}

// The recording's first row waits in the line for the first reader, and orvexctl takes it.
TEST_F(SimProcessTest, TheFirstReaderOfAReplayGetsItsFirstRow)
{
    const QString one =
        Write(QStringLiteral("one.csv"),
              Recording({QStringLiteral("2026-12-06T10:00:00.000Z,0.0,temperature,30.0,40.0,3,120,102")}));
    SimProcess sim(runtime.path(), {"--replay", one});
    ASSERT_FALSE(sim.device.isEmpty());
    const CliRun run = Monitor({"-p", sim.device, "--count", "1", "--timeout", "4", "--csv"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList lines = run.Out().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const std::optional<MonitorCsvRecord> row = ParseMonitorCsvRow(lines[1]);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->adc, 120);
    EXPECT_EQ(row->pwmRaw, 102);
    EXPECT_EQ(row->alarm, 3);
}

// A port name with a comma and a quote stays one field.
TEST_F(SimProcessTest, APortNameWithACommaStaysOneField)
{
    const QString odd = Path(QStringLiteral("tty,\"a\""));
    SimProcess first(runtime.path(), {"--link", odd});
    SimProcess second(runtime.path());
    ASSERT_FALSE(first.device.isEmpty());
    ASSERT_FALSE(second.device.isEmpty());
    const CliRun run = Monitor({"-p", odd, "-p", second.device, "--count", "1", "--csv"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList lines = run.Out().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], MonitorCsvHeader() + QStringLiteral(",port"));
    QStringList ports;
    for (const QString &line : lines.mid(1)) {
        const std::optional<QStringList> fields = SplitCsvRecord(line);
        ASSERT_TRUE(fields.has_value()) << line.toStdString();
        ASSERT_EQ(fields->size(), 9) << line.toStdString();
        ports << fields->last();
        if (fields->last() == odd) {
            EXPECT_TRUE(line.endsWith(QStringLiteral(",\"") + dir.path() + QStringLiteral("/tty,\"\"a\"\"\"")))
                << line.toStdString();
        }
    }
    ports.sort();
    EXPECT_EQ(ports, (QStringList{second.device, odd}));
}
