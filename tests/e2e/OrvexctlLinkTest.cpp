// Tests of orvexctl's link commands against orvex-sim, one controller at a time.
#include "OrvexctlProcess.h"

#include "MonitorCsv.h"
#include "ProfileCodec.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
class OrvexctlLink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    CliRun Run(const QStringList &args, const QByteArray &input = {})
    {
        return RunOrvexctl(args, input, runtime.path());
    }
    QTemporaryDir runtime;
    QTemporaryDir files;
};
} // namespace

TEST_F(OrvexctlLink, PortsListsARunningSimulatorAndForgetsItWhenItStops)
{
    {
        SimProcess sim(runtime.path());
        ASSERT_FALSE(sim.device.isEmpty());
        const CliRun run = Run({QStringLiteral("ports")});
        EXPECT_EQ(run.code, 0);
        EXPECT_TRUE(run.Out().contains(sim.device + QStringLiteral("\tOrvex simulated controller\n")))
            << run.Out().toStdString();

        const QJsonArray listed = QJsonDocument::fromJson(Run({"ports", "--json"}).out).array();
        const bool found = std::any_of(listed.begin(), listed.end(), [&](const QJsonValue &v) {
            return v.toObject().value(QStringLiteral("device")).toString() == sim.device &&
                   v.toObject().value(QStringLiteral("description")).toString() ==
                       QStringLiteral("Orvex simulated controller");
        });
        EXPECT_TRUE(found);

        // With something to print, a full disk is a failure.
        QProcess full;
        full.setProcessEnvironment(TestEnvironment(runtime.path()));
        full.setStandardOutputFile(QStringLiteral("/dev/full"));
        full.start(QStringLiteral(ORVEXCTL), {"ports"});
        const CliRun failed = Finished(full);
        EXPECT_EQ(failed.code, 1);
        EXPECT_TRUE(failed.err.contains(QStringLiteral("No space left on device")));
    }
    EXPECT_FALSE(Run({QStringLiteral("ports")}).Out().contains(QStringLiteral("Orvex simulated controller")));

    SimProcess killed(runtime.path());
    killed.Kill(); // kill -9: its registration is left behind, and ignored
    EXPECT_FALSE(Run({QStringLiteral("ports")}).Out().contains(QStringLiteral("Orvex simulated controller")));
}

TEST_F(OrvexctlLink, MonitorPrintsReadingsAsTextCsvAndJson)
{
    SimProcess sim(runtime.path(), {"--input", "128", "--alarm", "3"});
    CliRun run = Run({"monitor", "--port", sim.device, "--count", "1"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.Out(), QStringLiteral("Temperature: 24.8  PWM: 0  WARNING: Tacho Signal Lost Alarm ON\n"));

    run = Run({"monitor", "-p", sim.device, "--count=2", "--csv"});
    const QStringList lines = run.Out().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], MonitorCsvHeader());
    // The rows read back as the frames the simulator sent, with the wall-clock time first.
    const std::optional<MonitorCsvRecord> row = ParseMonitorCsvRow(lines[1]);
    ASSERT_TRUE(row.has_value()) << lines[1].toStdString();
    EXPECT_EQ(row->adc, 128);
    EXPECT_EQ(row->alarm, 3);
    EXPECT_LE(std::abs(row->time.secsTo(QDateTime::currentDateTimeUtc())), 60);
    EXPECT_TRUE(lines[1].contains(QStringLiteral(",temperature,24.8,0.0,3,128,0"))) << lines[1].toStdString();

    run = Run({"monitor", "-p", sim.device, "--count", "1", "--json"});
    const QJsonObject reading = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(reading.value(QStringLiteral("port")).toString(), sim.device);
    EXPECT_EQ(reading.value(QStringLiteral("kind")).toString(), QStringLiteral("temperature"));
    EXPECT_DOUBLE_EQ(reading.value(QStringLiteral("value")).toDouble(), 24.8);
    EXPECT_EQ(reading.value(QStringLiteral("alarm_code")).toInt(), 3);
    EXPECT_EQ(reading.value(QStringLiteral("adc")).toInt(), 128);
}

TEST_F(OrvexctlLink, MonitorEndsOnAHangUpATimeoutAndASignal)
{
    SimProcess sim(runtime.path());
    QProcess monitor;
    monitor.setProcessEnvironment(TestEnvironment(runtime.path()));
    monitor.start(QStringLiteral(ORVEXCTL), {"monitor", "--port", sim.device});
    ASSERT_TRUE(monitor.waitForReadyRead(10000));
    sim.Kill();
    CliRun run = Finished(monitor, 10000);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Communication Cable Removed")));

    SimProcess silent(runtime.path(), {"--silent"});
    run = Run({"monitor", "--port", silent.device, "--count", "1", "--timeout", "1"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("%1: no valid reading in 1 s").arg(silent.device)))
        << run.err.toStdString();

    QProcess waiting;
    waiting.start(QStringLiteral(ORVEXCTL), {"monitor", "--port", silent.device, "--timeout", "0"});
    ASSERT_TRUE(waiting.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return CatchesInterrupts(waiting.processId()); }));
    ::kill(static_cast<pid_t>(waiting.processId()), SIGTERM);
    EXPECT_EQ(Finished(waiting, 10000).code, 143);
}

TEST_F(OrvexctlLink, UploadRefusesAnEmptyControllerAShortAnswerAndAnInterruption)
{
    SimProcess empty(runtime.path());
    const QString out = files.filePath(QStringLiteral("u.dat"));
    CliRun run = Run({"upload", "--port", empty.device, "-o", out});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("NO PROFILE FOUND ON CONTROLLER")));
    EXPECT_FALSE(QFile::exists(out));

    const QString profile = files.filePath(QStringLiteral("p.dat"));
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(kProfileImageSize, '\x11'));
    file.close();
    SimProcess cut(runtime.path(), {"--profile", profile, "--short-answers"});
    run = Run({"upload", "--port", cut.device, "-o", out, "--json"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("incomplete (100 of 160 bytes)"))) << run.err.toStdString();
    const QJsonObject summary = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(summary.value(QStringLiteral("port")).toString(), cut.device);
    EXPECT_FALSE(summary.value(QStringLiteral("ok")).toBool(true));
    EXPECT_FALSE(QFile::exists(out));

    // Ctrl+C in the middle of the exchange: 130 and no file.
    SimProcess full(runtime.path(), {"--profile", profile});
    QProcess upload;
    upload.setProcessEnvironment(TestEnvironment(runtime.path()));
    upload.start(QStringLiteral(ORVEXCTL), {"upload", "--port", full.device, "-o", out});
    ASSERT_TRUE(upload.waitForStarted());
    upload.setReadChannel(QProcess::StandardError);
    QByteArray said;
    ASSERT_TRUE(WaitUntil([&] {
        upload.waitForReadyRead(50);
        said += upload.readAllStandardError();
        return said.contains("progress");
    }));
    ::kill(static_cast<pid_t>(upload.processId()), SIGINT);
    EXPECT_EQ(Finished(upload, 10000).code, 130);
    EXPECT_FALSE(QFile::exists(out));
}

// A root-owned device only root may use: no advice to join root's group, a udev rule instead.
TEST_F(OrvexctlLink, PermissionAdviceNeverSuggestsRootsGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to open the device as another user";
    // The build tree may be out of the other user's reach (a clone in a folder of mode 0700): it
    // runs a copy from a folder of its own that everyone may enter. orvexctl needs nothing else
    // of the build tree.
    QTemporaryDir reachable;
    const QFileDevice::Permissions everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(reachable.path(), everyone));
    const QString program = reachable.filePath(QStringLiteral("orvexctl"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORVEXCTL), program));
    ASSERT_TRUE(QFile::setPermissions(program, everyone));
    const auto asNobody = [&](const QStringList &args) {
        QProcess nobody;
        nobody.setWorkingDirectory(reachable.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), reachable.path());
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        nobody.setProcessEnvironment(env);
        nobody.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
        nobody.start(program, args);
        return Finished(nobody, 20000);
    };
    const CliRun probe = asNobody({"--version"});
    if (!probe.Out().startsWith(QStringLiteral("orvexctl ")))
        GTEST_SKIP() << "user 65534 cannot run a program from " << reachable.path().toStdString() << " (exit "
                     << probe.code << "): the temporary folder (TMPDIR) is out of its reach";

    SimProcess sim(runtime.path());
    const QByteArray device = QFile::encodeName(sim.device);
    ASSERT_EQ(::chown(device.constData(), 0, 0), 0);
    ASSERT_EQ(::chmod(device.constData(), 0600), 0);
    const CliRun run = asNobody({"monitor", "--port", sim.device, "--count", "1"});
    ASSERT_NE(run.code, 99);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Permission denied: you may not open %1").arg(sim.device)))
        << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("group 'root'"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("udev rule"))) << run.err.toStdString();
}
