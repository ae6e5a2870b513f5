// orvexctl's command-line habits: help and version the usual ways, the trace a technician sends,
// a reader that goes away, and a profile that never lands on a terminal by mistake.
#include "OrvexctlProcess.h"
#include "UnusualStdout.h"

#include "ProfileCodec.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
class OrvexctlHabits : public ::testing::Test
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

TEST_F(OrvexctlHabits, HelpAndVersionTheUsualWays)
{
    for (const char *command : {"decode", "download", "monitor"}) {
        const CliRun asked = Run({"help", command});
        EXPECT_EQ(asked.code, 0) << command;
        EXPECT_EQ(asked.out, Run({command, "--help"}).out) << command;
        EXPECT_TRUE(asked.Out().startsWith(QStringLiteral("usage: orvexctl %1").arg(QLatin1String(command))));
    }
    EXPECT_EQ(Run({"help"}).out, Run({"--help"}).out);
    const CliRun unknown = Run({"help", "frobnicate"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("unknown command \"frobnicate\""))) << unknown.err.toStdString();
    EXPECT_EQ(Run({"-V"}).Out(), QStringLiteral("orvexctl " ORVEX_VERSION "\n"));
}

// Before or after the command, --verbose traces each byte with its time; without it, nothing.
TEST_F(OrvexctlHabits, VerboseTracesEveryByteOfTheLine)
{
    const QString profile = EncodeProfile(files.filePath(QStringLiteral("p.dat")), "topBand = 45\n");
    SimProcess sim(runtime.path(), {"--profile", profile});
    ASSERT_FALSE(sim.device.isEmpty());
    const QString time = QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z");
    const QString device = QRegularExpression::escape(sim.device);

    const CliRun upload = Run({"-v", "upload", "-p", sim.device, "-o", files.filePath(QStringLiteral("got.dat"))});
    ASSERT_EQ(upload.code, 0) << upload.err.toStdString();
    for (const QString &line : {QStringLiteral("^orvex\\.serial: %1 %2 TX 0000  53 +\\|S\\|$"),
                                QStringLiteral("^orvex\\.serial: %1 %2 TX 0000  58 +\\|X\\|$"),
                                QStringLiteral("^orvex\\.serial: %1 %2 RX 0000  [0-9a-f ]{47}  \\|.{16}\\|$"),
                                QStringLiteral("^orvex\\.serial: %1 %2 purge rx-abort$")}) {
        const QRegularExpression expected(line.arg(time, device), QRegularExpression::MultilineOption);
        EXPECT_TRUE(expected.match(upload.err).hasMatch()) << line.toStdString() << "\n" << upload.err.toStdString();
    }
    // The image read back, byte for byte, is in the trace.
    const QByteArray image = ReadFileBytes(profile);
    EXPECT_TRUE(upload.err.contains(QStringLiteral("RX 0000  ") + QString::fromLatin1(image.left(16).toHex(' '))));
    EXPECT_TRUE(upload.err.contains(QStringLiteral("orvex.exchange: ")));

    const CliRun after = Run({"monitor", "-p", sim.device, "--count", "1", "--verbose"});
    EXPECT_EQ(after.code, 0) << after.err.toStdString();
    EXPECT_TRUE(after.err.contains(QStringLiteral(" RX 0000  3c 41 44 43 54 29"))) << after.err.toStdString();
    const CliRun quiet = Run({"monitor", "-p", sim.device, "--count", "1"});
    EXPECT_EQ(quiet.code, 0);
    EXPECT_FALSE(quiet.err.contains(QStringLiteral("orvex."))) << quiet.err.toStdString();
}

TEST_F(OrvexctlHabits, AReaderThatGoesAwayEndsMonitorQuietly)
{
    SimProcess sim(runtime.path());
    ASSERT_FALSE(sim.device.isEmpty());
    const QByteArray said = QFile::encodeName(files.filePath(QStringLiteral("stderr.txt")));
    const int status = RunIntoAClosedPipe({"monitor", "-p", sim.device}, said);
    ASSERT_TRUE(WIFEXITED(status)) << "died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 141); // as a shell reports `yes | head`
    EXPECT_EQ(ReadFileBytes(QString::fromLocal8Bit(said)), QByteArray());
}

// As curl: a profile is written to a terminal only when -o - asks for it.
TEST_F(OrvexctlHabits, AProfileReachesATerminalOnlyWhenAskedTo)
{
    QByteArray shown;
    int status = RunOnATerminal({"encode", "-"}, "topBand = 45\n", shown);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_TRUE(shown.isEmpty()) << shown.toStdString();

    shown.clear();
    status = RunOnATerminal({"upload", "-p", "/dev/null"}, {}, shown);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2); // before any controller's time is spent

    shown.clear();
    status = RunOnATerminal({"encode", "-", "-o", "-"}, "topBand = 45\n", shown);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_GE(shown.size(), kProfileImageSize); // the terminal may add carriage returns

    // Elsewhere standard output is where it goes without -o.
    const CliRun piped = Run({"encode", "-"}, "topBand = 45\n");
    EXPECT_EQ(piped.code, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out, Run({"encode", "-", "-o", "-"}, "topBand = 45\n").out);
    EXPECT_EQ(piped.out.size(), kProfileImageSize);
}
