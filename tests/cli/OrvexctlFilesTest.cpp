// orvexctl's file commands as a script meets them: options, standard streams, bad files, bad text.
#include "OrvexctlProcess.h"

#include "ProfileCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
// Runs orvexctl with standard output a pipe nobody reads any more, as `| head -1` leaves it, and
// SIGPIPE at its default whatever the test runner set. Returns the wait status.
int RunIntoAClosedPipe(const QStringList &args)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    ::close(fds[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    std::vector<QByteArray> owned{QByteArray(ORVEXCTL)};
    for (const QString &arg : args)
        owned.push_back(arg.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &arg : owned)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, ORVEXCTL, &actions, &attributes, argv.data(), environ);
    ::close(fds[1]);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    int status = -1;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return status;
}

class OrvexctlFiles : public ::testing::Test
{
protected:
    QString Path(const QString &name) const { return dir.filePath(name); }
    QString Write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    static QByteArray Read(const QString &path) { return ReadFileBytes(path); }
    QString Encoded(const QString &name, const QByteArray &text) const { return EncodeProfile(Path(name), text); }
    QTemporaryDir dir;
};

QString HotStopCurve()
{
    QStringList values;
    for (int i = 0; i < 256; ++i)
        values << QString::number(i < 200 ? 50 : 0);
    return QStringLiteral("multipoint = 1\ncurve = ") + values.join(QLatin1Char(',')) + QLatin1Char('\n');
}
} // namespace

TEST_F(OrvexctlFiles, OptionsAreConventionalAndMistakesAreNamed)
{
    EXPECT_EQ(RunOrvexctl({"--version"}).Out(), QStringLiteral("orvexctl " ORVEX_VERSION "\n"));
    const QString a = Path(QStringLiteral("a.dat"));
    for (const QStringList &form : {QStringList{"encode", "-", "--output=" + a}, QStringList{"encode", "-", "-o", a},
                                    QStringList{"encode", "--output", a, "-"}}) {
        QFile::remove(a);
        EXPECT_EQ(RunOrvexctl(form, "topBand = 45\n").code, 0) << form.join(' ').toStdString();
        EXPECT_EQ(QFileInfo(a).size(), 320);
    }

    struct Bad
    {
        QStringList args;
        const char *named;
    };
    const Bad bad[] = {
        {{"download", "--count", "2", "--port", "/dev/null", a}, "Unknown option 'count'"},
        {{"decode", "--colour", a}, "Unknown option 'colour'"},
        {{"--port", "/dev/null", "download", a}, "unknown option \"--port\""},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"encode", "-"}, "-o FILE is missing"},
        {{"decode", a, a}, "unexpected argument"},
        {{"monitor", "--port", "/dev/null", "--count", "many"}, "--count takes a whole number"},
        // Beyond what a timer holds in milliseconds: refused, not wrapped into an instant timeout.
        {{"monitor", "--port", "/dev/null", "--timeout", "4294968"}, "--timeout takes a whole number from 0 to"},
        {{"upload", "-p", "/dev/a", "-p", "/dev/b", "-o", "same.dat"}, "-o needs %p"},
        {{"download", a}, "--port DEV is missing"},
        {{"monitor", "-p", "/dev/null", "-p", "/dev/../dev/null"},
         "--port /dev/null and --port /dev/../dev/null name the same device"},
    };
    for (const Bad &b : bad) {
        const CliRun run = RunOrvexctl(b.args);
        EXPECT_EQ(run.code, 2) << b.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(b.named))) << run.err.toStdString();
    }
    const CliRun help = RunOrvexctl({"download", "-h"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.Out().contains(QStringLiteral("--verify"))) << help.Out().toStdString();
}

TEST_F(OrvexctlFiles, DashIsStandardInputAndOutput)
{
    // The folder goes with the test: the tests after it must not find themselves in a deleted one.
    const QString before = QDir::currentPath();
    const auto back = qScopeGuard([&] { QDir::setCurrent(before); });
    QDir::setCurrent(dir.path());
    const CliRun encoded = RunOrvexctl({"encode", "-", "-o", "-"}, "topBand = 45\n");
    ASSERT_EQ(encoded.code, 0) << encoded.err.toStdString();
    EXPECT_EQ(encoded.out.size(), 320);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("-"))));
    EXPECT_EQ(RunOrvexctl({"encode", "-", "-o", "/dev/stdout"}, "topBand = 45\n").out, encoded.out);

    const CliRun decoded = RunOrvexctl({"decode", "-"}, encoded.out);
    ASSERT_EQ(decoded.code, 0) << decoded.err.toStdString();
    EXPECT_TRUE(decoded.Out().contains(QStringLiteral("topBand = 45\n")));

    const CliRun json = RunOrvexctl({"decode", "--json", "-"}, encoded.out);
    const QJsonObject profile = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(profile.value(QStringLiteral("topBand")).toString(), QStringLiteral("45"));
    EXPECT_EQ(profile.value(QStringLiteral("multipoint")).toBool(true), false);
    EXPECT_EQ(profile.value(QStringLiteral("curve")).toArray().size(), 256);
    EXPECT_EQ(profile.value(QStringLiteral("curve")).toArray().at(255).toInt(), 90);

    // A short file reads as zeros after its end, and says so.
    const CliRun shortFile = RunOrvexctl({"decode", "-"}, encoded.out.left(100));
    EXPECT_EQ(shortFile.code, 0);
    EXPECT_TRUE(shortFile.err.contains(QStringLiteral("holds 100 of 320 bytes"))) << shortFile.err.toStdString();
}

// Refusals name the line and the key; cut numbers are told and still encode; nothing wraps.
TEST_F(OrvexctlFiles, TextRefusalsAndCutsNameTheLine)
{
    const QString out = Path(QStringLiteral("t.dat"));
    CliRun run = RunOrvexctl({"encode", "-", "-o", out}, "# comment\nfanSpeedTopBand = 90\ntopBand = -5\n");
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("line 3: topBand = -5: Value not withing range")))
        << run.err.toStdString();
    run = RunOrvexctl({"encode", "-", "-o", out}, "topBand = 40\nbottomBand = 10\ntopBand = 45\n");
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("line 3: topBand is given again (first on line 1)")))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    const std::pair<const char *, const char *> versions[] = {
        {"-1", "0"}, {"-256", "0"}, {"256", "255"}, {"-99999999999999999999", "0"}};
    for (const auto &[given, kept] : versions) {
        QFile::remove(out);
        run = RunOrvexctl({"encode", "-", "-o", out}, QByteArray("\nversionNumber = ") + given + "\n");
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("line 2: versionNumber = %1: cut to %2").arg(given, kept)))
            << run.err.toStdString();
        EXPECT_EQ(static_cast<unsigned char>(Read(out).at(ImageLayout::kVersionNumber)), QByteArray(kept).toInt());
    }
}

// Targets that are no regular file stay what they are; the refusal says why.
TEST_F(OrvexctlFiles, DevicesAndFifosAreNeverReplaced)
{
    const QString fifo = Path(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString link = Path(QStringLiteral("null-link"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), link));
    for (const QString &target : {QStringLiteral("/dev/null"), fifo, link}) {
        const CliRun run = RunOrvexctl({"encode", "-", "-o", target}, "topBand = 45\n");
        EXPECT_EQ(run.code, 1) << target.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("is not a regular file"))) << run.err.toStdString();
    }
    struct stat info
    {
    };
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // Reading one is refused at once instead of waiting for a writer.
    const CliRun decode = RunOrvexctl({"decode", fifo});
    EXPECT_EQ(decode.code, 1);
    EXPECT_TRUE(decode.err.contains(QStringLiteral("Couldn't open source file."))) << decode.err.toStdString();

    // upload finds an unwritable target before it opens the port.
    const CliRun upload = RunOrvexctl({"upload", "--port", "/dev/no-such-port", "-o", "/dev/null"});
    EXPECT_EQ(upload.code, 1);
    EXPECT_TRUE(upload.err.contains(QStringLiteral("/dev/null is not a regular file"))) << upload.err.toStdString();
    EXPECT_FALSE(upload.err.contains(QStringLiteral("no-such-port")));
    const CliRun noFolder = RunOrvexctl({"upload", "--port", "/dev/no-such-port", "-o", Path("none/x.dat")});
    EXPECT_EQ(noFolder.code, 1);
    EXPECT_TRUE(noFolder.err.contains(QStringLiteral("no such folder"))) << noFolder.err.toStdString();
}

TEST_F(OrvexctlFiles, BadInputAndOutputFailInsteadOfPassing)
{
    const QString out = Path(QStringLiteral("x.dat"));
    // Endless input is refused at a bound, with a reason and no exception.
    CliRun run = RunOrvexctl({"encode", "/dev/zero", "-o", out});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("longer than 64 KiB"))) << run.err.toStdString();
    run = RunOrvexctl({"encode", "-", "-o", out}, QByteArray(70000, '#'));
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(QFile::exists(out));

    // Standard input that cannot be read is no empty profile.
    QProcess fromFolder;
    fromFolder.setStandardInputFile(dir.path());
    fromFolder.start(QStringLiteral(ORVEXCTL), {"encode", "-", "-o", out});
    run = Finished(fromFolder);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("standard input"))) << run.err.toStdString();
    QProcess closedInput;
    closedInput.start(QStringLiteral("sh"),
                      {"-c", QStringLiteral("exec \"$0\" encode - -o \"$1\" <&-"), ORVEXCTL, out});
    EXPECT_EQ(Finished(closedInput).code, 1);
    EXPECT_FALSE(QFile::exists(out));

    // Output that cannot be written is a failure.
    const QString profile = Encoded(QStringLiteral("p.dat"), "topBand = 45\n");
    for (const QStringList &args : {QStringList{"decode", profile}, QStringList{"decode", "--json", profile},
                                    QStringList{"encode", "-", "-o", "-"}}) {
        QProcess full;
        full.setStandardOutputFile(QStringLiteral("/dev/full"));
        full.start(QStringLiteral(ORVEXCTL), args);
        full.write("topBand = 45\n");
        full.closeWriteChannel();
        run = Finished(full);
        EXPECT_NE(run.code, 0) << args.join(' ').toStdString();
        EXPECT_NE(run.code, -1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("No space left on device"))) << run.err.toStdString();
    }
    // A reader that went away is a write error too, not a signal that kills the command.
    for (const QStringList &args : {QStringList{"decode", profile}, QStringList{"ports", "--json"}}) {
        const int status = RunIntoAClosedPipe(args);
        ASSERT_TRUE(WIFEXITED(status)) << args.join(' ').toStdString() << " died of signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 1) << args.join(' ').toStdString();
    }
    // diff writes its lines for the differing pair; the full disk makes that trouble, not "differ".
    const QString other = Encoded(QStringLiteral("o.dat"), "topBand = 46\n");
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(QStringLiteral(ORVEXCTL), {"diff", profile, other});
    EXPECT_EQ(Finished(full).code, 2);
}

TEST_F(OrvexctlFiles, DiffTellsTheFieldsLikeDiff)
{
    const QString a = Encoded(QStringLiteral("a.dat"), "topBand = 45\nversionNumber = 3\n");
    const QString b = Encoded(QStringLiteral("b.dat"), "topBand = 50\nversionNumber = 3\n");
    CliRun run = RunOrvexctl({"diff", a, a});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.out.isEmpty());

    run = RunOrvexctl({"diff", a, b});
    EXPECT_EQ(run.code, 1);
    const QStringList lines = run.Out().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("topBand: 45 -> 50"));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("curve["))) << lines.last().toStdString();

    run = RunOrvexctl({"diff", "--json", "-", b}, Read(a));
    EXPECT_EQ(run.code, 1);
    const QJsonObject object = QJsonDocument::fromJson(run.out).object();
    EXPECT_FALSE(object.value(QStringLiteral("equal")).toBool(true));
    const QJsonObject first = object.value(QStringLiteral("differences")).toArray().at(0).toObject();
    EXPECT_EQ(first.value(QStringLiteral("key")).toString(), QStringLiteral("topBand"));
    EXPECT_EQ(first.value(QStringLiteral("a")).toString(), QStringLiteral("45"));
    EXPECT_EQ(first.value(QStringLiteral("b")).toString(), QStringLiteral("50"));

    EXPECT_EQ(RunOrvexctl({"diff", a, Path(QStringLiteral("missing.dat"))}).code, 2);
    EXPECT_EQ(RunOrvexctl({"diff", a}).code, 2);
    EXPECT_EQ(RunOrvexctl({"diff", "--bogus", a, b}).code, 2);
}

// A file shorter than a profile is no profile to compare, on either side and against a controller.
TEST_F(OrvexctlFiles, DiffCallsAShortFileTrouble)
{
    const QString a = Encoded(QStringLiteral("a.dat"), "topBand = 45\n");
    const QString empty = Write(QStringLiteral("empty.dat"), {});
    const QString cut = Write(QStringLiteral("short.dat"), Read(a).left(100));
    struct Case
    {
        QStringList args;
        QByteArray input;
        QString named;
    };
    const Case cases[] = {
        {{"diff", a, empty}, {}, empty + QStringLiteral(": a profile file holds 320 bytes, this one 0")},
        {{"diff", cut, a}, {}, cut + QStringLiteral(": a profile file holds 320 bytes, this one 100")},
        {{"diff", "--json", a, cut}, {}, cut + QStringLiteral(": a profile file holds 320 bytes, this one 100")},
        {{"diff", "-", a},
         Read(a).left(319),
         QStringLiteral("standard input: a profile file holds 320 bytes, this one 319")},
    };
    for (const Case &c : cases) {
        const CliRun run = RunOrvexctl(c.args, c.input);
        EXPECT_EQ(run.code, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.Out().toStdString();
        EXPECT_TRUE(run.err.contains(c.named)) << run.err.toStdString();
    }

    // Against a controller that holds a profile: refused before the port is read.
    SimProcess sim({}, {"--profile", a});
    ASSERT_FALSE(sim.device.isEmpty());
    const CliRun run = RunOrvexctl({"diff", "--port", sim.device, cut});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.out.isEmpty()) << run.Out().toStdString();
    EXPECT_TRUE(run.err.contains(cut + QStringLiteral(": a profile file holds 320 bytes, this one 100")))
        << run.err.toStdString();
}

// download decodes what it is to send: what the window would refuse stays here unless --force.
TEST_F(OrvexctlFiles, DownloadRefusesWhatTheWindowWouldNotSend)
{
    const QString letters = Write(QStringLiteral("letters.dat"), QByteArray(kProfileImageSize, 'A'));
    CliRun run = RunOrvexctl({"download", "--port", "/dev/no-such-port", letters});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("softwareNumber = AAAAA: Value not withing range")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("--force"))) << run.err.toStdString();

    const QString hot = Encoded(QStringLiteral("hot.dat"), HotStopCurve().toUtf8());
    run = RunOrvexctl({"download", "--port", "/dev/no-such-port", hot});
    EXPECT_EQ(run.code, 1);
    // The warning names where the fan stops, as the window's question does.
    EXPECT_TRUE(run.err.contains(QStringLiteral("The fan curve falls to 0 % above 49"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("the fan stops when it is hottest"))) << run.err.toStdString();

    // --force gets past the profile's checks and on to the port.
    for (const QString &file : {letters, hot}) {
        run = RunOrvexctl({"download", "--force", "--port", "/dev/no-such-port", file});
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(run.Out().startsWith(QStringLiteral("/dev/no-such-port: failed: The system cannot find the port")))
            << run.Out().toStdString() << run.err.toStdString();
    }

    // Only what the size promised is read: a file that says it is empty and holds more is refused whole.
    run = RunOrvexctl({"download", "--force", "--port", "/dev/no-such-port", "/proc/self/status"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("a profile file holds 320 bytes"))) << run.err.toStdString();
    run = RunOrvexctl({"download", "--port", "/dev/no-such-port", Write(QStringLiteral("odd.dat"), "12345")});
    EXPECT_TRUE(run.err.contains(QStringLiteral("a profile file holds 320 bytes, this one 5")))
        << run.err.toStdString();
}

// A signal ends a command that is blocked in open() or read(), with 128 + the signal and no file.
TEST_F(OrvexctlFiles, SignalsEndBlockedCommands)
{
    const QString fifo = Path(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString out = Path(QStringLiteral("never.dat"));

    QProcess opening;
    opening.start(QStringLiteral(ORVEXCTL), {"encode", fifo, "-o", out});
    ASSERT_TRUE(opening.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return InSyscall(opening.processId(), SYS_openat); }));
    ::kill(static_cast<pid_t>(opening.processId()), SIGTERM);
    EXPECT_EQ(Finished(opening, 10000).code, 143);

    QProcess reading;
    reading.start(QStringLiteral(ORVEXCTL), {"encode", "-", "-o", out});
    ASSERT_TRUE(reading.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return InSyscall(reading.processId(), SYS_read); }));
    ::kill(static_cast<pid_t>(reading.processId()), SIGINT);
    EXPECT_EQ(Finished(reading, 10000).code, 130);
    EXPECT_FALSE(QFile::exists(out));
}

// The shipped dashboard and alert rules ask for metrics the exporter serves, and nothing else.
TEST(OrvexctlContrib, DashboardAndRulesUseTheExportersMetrics)
{
    const QString help = RunOrvexctl({"exporter", "--help"}).Out();
    QFile dashboard(QStringLiteral(ORVEX_SOURCE_DIR "/contrib/grafana/orvex-dashboard.json"));
    ASSERT_TRUE(dashboard.open(QIODevice::ReadOnly));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(dashboard.readAll(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    QStringList expressions;
    for (const QJsonValue &panel : document.object().value(QStringLiteral("panels")).toArray()) {
        for (const QJsonValue &target : panel.toObject().value(QStringLiteral("targets")).toArray())
            expressions << target.toObject().value(QStringLiteral("expr")).toString();
    }
    QFile rules(QStringLiteral(ORVEX_SOURCE_DIR "/contrib/prometheus/orvex-alerts.yml"));
    ASSERT_TRUE(rules.open(QIODevice::ReadOnly));
    expressions << QString::fromUtf8(rules.readAll());
    ASSERT_GE(expressions.size(), 6);
    static const QRegularExpression metric(QStringLiteral("orvex_[a-z_]+"));
    QSet<QString> used;
    for (const QString &expression : expressions) {
        for (const QRegularExpressionMatch &m : metric.globalMatch(expression))
            used.insert(m.captured());
    }
    for (const QString &name : used)
        EXPECT_TRUE(help.contains(name)) << name.toStdString();
    for (const char *name :
         {"orvex_temperature_celsius", "orvex_input_volts", "orvex_fan_pwm_ratio", "orvex_alarm_code"})
        EXPECT_TRUE(used.contains(QString::fromLatin1(name))) << name;
}
