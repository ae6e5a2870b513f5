// apply and the journal against simulated controllers on the real timing: what is written, what is
// left alone, what is kept.
#include "OrvexctlProcess.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {
class OrvexctlApply : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString Encoded(const QString &name, const QByteArray &text) { return EncodeProfile(files.filePath(name), text); }
    // orvexctl with a journal of its own in `state`.
    QProcess *Start(const QStringList &args, const QString &state)
    {
        auto *process = new QProcess;
        processes.emplace_back(process);
        QProcessEnvironment env = TestEnvironment(runtime.path());
        env.insert(QStringLiteral("ORVEX_STATE_DIR"), state);
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(ORVEXCTL), args);
        return process;
    }
    CliRun Run(const QStringList &args, const QString &state) { return Finished(*Start(args, state)); }
    QString State(const QString &name) const { return files.filePath(name); }
    static int JournalFiles(const QString &state)
    {
        return static_cast<int>(
            QDir(state + QStringLiteral("/journal")).entryList({QStringLiteral("*.json")}, QDir::Files).size());
    }
    QTemporaryDir runtime;
    QTemporaryDir files;
    std::vector<std::unique_ptr<QProcess>> processes;
};

QJsonObject Document(const CliRun &run)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.Out().toStdString() << run.err.toStdString();
    return document.object();
}

QMap<QString, QJsonObject> ByPort(const QJsonObject &document)
{
    QMap<QString, QJsonObject> ports;
    for (const QJsonValue &port : document.value(QStringLiteral("ports")).toArray())
        ports.insert(port.toObject().value(QStringLiteral("port")).toString(), port.toObject());
    return ports;
}

QStringList Keys(const QJsonObject &port)
{
    QStringList keys;
    for (const QJsonValue &difference : port.value(QStringLiteral("differences")).toArray())
        keys << difference.toObject().value(QStringLiteral("key")).toString();
    return keys;
}

QString HotStopCurve()
{
    QStringList values;
    for (int i = 0; i < 256; ++i)
        values << QString::number(i < 200 ? 50 : 0);
    return QStringLiteral("multipoint = 1\ncurve = ") + values.join(QLatin1Char(',')) + QLatin1Char('\n');
}
} // namespace

// One run of the real timing for a whole fleet: a controller with no profile, one with another, one
// that already holds the file, one that keeps something else than it is sent, and a port that is not
// there; beside it a --check. Then apply again, and look at what the controllers and journals hold.
TEST_F(OrvexctlApply, WritesOnlyWhereNeededAndAgainNothing)
{
    const QString profile = Encoded(QStringLiteral("p.dat"), "topBand = 45\nfanSpeedTopBand = 95\n");
    const QString other = Encoded(QStringLiteral("other.dat"), "topBand = 46\nfanSpeedTopBand = 95\n");
    SimProcess fresh(runtime.path());
    SimProcess changed(runtime.path(), {"--profile", other});
    SimProcess holder(runtime.path(), {"--profile", profile});
    SimProcess keepsOther(runtime.path(), {"--store-different"});
    SimProcess checked(runtime.path(), {"--profile", other});
    for (const SimProcess *sim : {&fresh, &changed, &holder, &keepsOther, &checked})
        ASSERT_FALSE(sim->device.isEmpty());
    const QString fleetState = State(QStringLiteral("fleet-state"));
    const QString checkState = State(QStringLiteral("check-state"));

    QProcess *apply = Start({"apply", "--json", "-p", fresh.device, "-p", changed.device, "-p", holder.device, "-p",
                             keepsOther.device, "-p", "/dev/no-such-port", profile},
                            fleetState);
    QProcess *check = Start({"apply", "--check", "--diff", "-p", checked.device, profile}, checkState);
    const CliRun first = Finished(*apply);
    const CliRun looked = Finished(*check);

    // A port that failed makes the run fail, and every other port is still done.
    EXPECT_EQ(first.code, 1) << first.err.toStdString();
    const QJsonObject document = Document(first);
    EXPECT_FALSE(document.value(QStringLiteral("ok")).toBool(true));
    EXPECT_TRUE(document.value(QStringLiteral("changed")).toBool());
    const QMap<QString, QJsonObject> ports = ByPort(document);
    ASSERT_EQ(ports.size(), 5) << first.Out().toStdString();
    const QJsonObject noProfile = ports.value(fresh.device);
    EXPECT_EQ(noProfile.value(QStringLiteral("status")).toString().toStdString(), "changed")
        << QJsonDocument(noProfile).toJson().toStdString();
    EXPECT_TRUE(noProfile.value(QStringLiteral("noProfile")).toBool());
    EXPECT_TRUE(noProfile.value(QStringLiteral("verified")).toBool());
    const QJsonObject another = ports.value(changed.device);
    EXPECT_EQ(another.value(QStringLiteral("status")).toString().toStdString(), "changed");
    EXPECT_EQ(Keys(another).value(0).toStdString(), "topBand");
    EXPECT_EQ(
        another.value(QStringLiteral("differences")).toArray().at(0).toObject().value(QStringLiteral("a")).toString(),
        QStringLiteral("46"));
    const QJsonObject held = ports.value(holder.device);
    EXPECT_EQ(held.value(QStringLiteral("status")).toString().toStdString(), "unchanged");
    EXPECT_TRUE(Keys(held).isEmpty());
    EXPECT_FALSE(held.contains(QStringLiteral("reply"))); // nothing was sent to it
    const QJsonObject kept = ports.value(keepsOther.device);
    EXPECT_EQ(kept.value(QStringLiteral("status")).toString().toStdString(), "failed");
    EXPECT_FALSE(kept.value(QStringLiteral("verified")).toBool(true));
    EXPECT_FALSE(kept.value(QStringLiteral("notVerified")).toArray().isEmpty());
    const QJsonObject missing = ports.value(QStringLiteral("/dev/no-such-port"));
    EXPECT_EQ(missing.value(QStringLiteral("status")).toString().toStdString(), "failed");
    EXPECT_FALSE(missing.value(QStringLiteral("error")).toString().isEmpty());

    // --check: the fields on stdout, exit 0 as the controller could be read, nothing written.
    EXPECT_EQ(looked.code, 0) << looked.err.toStdString();
    EXPECT_TRUE(looked.Out().contains(checked.device + QStringLiteral(": topBand: 46 -> 45\n")))
        << looked.Out().toStdString();
    EXPECT_TRUE(looked.Out().contains(checked.device + QStringLiteral(": would change: topBand")))
        << looked.Out().toStdString();
    EXPECT_EQ(JournalFiles(checkState), 0);

    // Each download went to the journal: the three that were sent, not the one left alone.
    EXPECT_EQ(JournalFiles(fleetState), 3);
    const CliRun listed = Run({"journal", "--json", "-p", changed.device}, fleetState);
    EXPECT_EQ(listed.code, 0) << listed.err.toStdString();
    const QJsonObject entry = QJsonDocument::fromJson(listed.out.split('\n').value(0)).object();
    EXPECT_EQ(entry.value(QStringLiteral("result")).toString(), QStringLiteral("verified"));
    EXPECT_EQ(entry.value(QStringLiteral("source")).toString(), QStringLiteral("orvexctl"));
    const QString shown = files.filePath(QStringLiteral("shown.dat"));
    const int number = entry.value(QStringLiteral("number")).toInt();
    EXPECT_EQ(Run({"journal", "show", QString::number(number), "-o", shown}, fleetState).code, 0);
    EXPECT_EQ(ReadFileBytes(shown), ReadFileBytes(profile));

    // Again: nothing to write; and the checked controller still holds what it held.
    QProcess *again =
        Start({"apply", "--diff", "-p", fresh.device, "-p", changed.device, "-p", holder.device, profile}, fleetState);
    QProcess *still = Start({"diff", "--port", checked.device, other}, checkState);
    const CliRun second = Finished(*again);
    const CliRun unchangedCheck = Finished(*still);
    EXPECT_EQ(second.code, 0) << second.err.toStdString();
    for (const SimProcess *sim : {&fresh, &changed, &holder})
        EXPECT_TRUE(second.Out().contains(sim->device + QStringLiteral(": unchanged:"))) << second.Out().toStdString();
    EXPECT_FALSE(second.Out().contains(QStringLiteral(" -> "))) << second.Out().toStdString();
    EXPECT_EQ(JournalFiles(fleetState), 3);
    EXPECT_EQ(unchangedCheck.code, 0) << unchangedCheck.Out().toStdString() << unchangedCheck.err.toStdString();
}

// Every download is kept, and one that cannot be kept still counts as done.
TEST_F(OrvexctlApply, DownloadGoesToTheJournal)
{
    const QString profile = Encoded(QStringLiteral("p.dat"), "topBand = 44\nversionNumber = 9\n");
    SimProcess kept(runtime.path());
    SimProcess unkept(runtime.path());
    ASSERT_FALSE(kept.device.isEmpty());
    ASSERT_FALSE(unkept.device.isEmpty());
    const QString state = State(QStringLiteral("state"));
    // A state folder that is a file: the journal cannot be written there.
    const QString blocked = State(QStringLiteral("blocked"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QProcess *download = Start({"download", "-p", kept.device, profile}, state);
    QProcess *blind = Start({"download", "--no-verify", "-p", unkept.device, profile}, blocked);
    const CliRun done = Finished(*download);
    const CliRun unjournaled = Finished(*blind);

    EXPECT_EQ(done.code, 0) << done.err.toStdString();
    EXPECT_EQ(unjournaled.code, 0) << unjournaled.err.toStdString();
    EXPECT_TRUE(unjournaled.err.contains(unkept.device + QStringLiteral(": the download is not in the journal")))
        << unjournaled.err.toStdString();

    const CliRun listed = Run({"journal"}, state);
    EXPECT_EQ(listed.code, 0) << listed.err.toStdString();
    const QStringList lines = listed.Out().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << listed.Out().toStdString();
    const QStringList columns = lines.front().split(QLatin1Char('\t'));
    ASSERT_EQ(columns.size(), 6) << lines.front().toStdString();
    EXPECT_EQ(columns[0], QStringLiteral("1"));
    EXPECT_EQ(columns[2], kept.device); // a pseudo-terminal has no stable name
    EXPECT_EQ(columns[3], QStringLiteral("00001_Issue9"));
    EXPECT_EQ(columns[4], QStringLiteral("verified")); // the result
    EXPECT_EQ(columns[5], QStringLiteral("verified")); // read back and held

    const CliRun json = Run({"journal", "--json"}, state);
    const QJsonObject entry = QJsonDocument::fromJson(json.out.trimmed()).object();
    EXPECT_TRUE(entry.value(QStringLiteral("reply")).toString().contains(QStringLiteral("Configuration saved.")));
    EXPECT_EQ(entry.value(QStringLiteral("device")).toString(), kept.device);

    const QString shown = files.filePath(QStringLiteral("shown.dat"));
    const CliRun show = Run({"journal", "show", "1", "-o", shown}, state);
    EXPECT_EQ(show.code, 0) << show.err.toStdString();
    EXPECT_EQ(ReadFileBytes(shown), ReadFileBytes(profile));
}

// What apply refuses, before any controller is read.
TEST_F(OrvexctlApply, RefusesAsDownloadDoesAndNamesUsageErrors)
{
    const QString hot = Encoded(QStringLiteral("hot.dat"), HotStopCurve().toUtf8());
    const QString state = State(QStringLiteral("state"));
    CliRun run = Run({"apply", "-p", "/dev/no-such-port", hot}, state);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("the fan stops when it is hottest"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("--force"))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.Out().toStdString();
    // --check refuses it as well: the apply it stands for would be refused.
    EXPECT_EQ(Run({"apply", "--check", "-p", "/dev/no-such-port", hot}, state).code, 1);

    // --force gets past the profile's checks and on to the port.
    run = Run({"apply", "--force", "--json", "-p", "/dev/no-such-port", hot}, state);
    EXPECT_EQ(run.code, 1);
    const QJsonObject port = ByPort(Document(run)).value(QStringLiteral("/dev/no-such-port"));
    EXPECT_EQ(port.value(QStringLiteral("status")).toString().toStdString(), "failed");
    EXPECT_TRUE(port.value(QStringLiteral("error")).toString().contains(QStringLiteral("cannot find the port")))
        << run.Out().toStdString();
    EXPECT_EQ(JournalFiles(state), 0);

    const QString shortFile = files.filePath(QStringLiteral("short.dat"));
    QFile file(shortFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\0'));
    file.close();
    run = Run({"apply", "-p", "/dev/no-such-port", shortFile}, state);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("a profile file holds 320 bytes, this one 100")))
        << run.err.toStdString();

    const struct
    {
        QStringList args;
        const char *error;
    } usage[] = {
        {{"apply", hot}, "--port DEV is missing"},
        {{"apply", "-p", "/dev/no-such-port"}, "missing argument"},
        {{"apply", "-p", "/dev/no-such-port", hot, hot}, "unexpected argument"},
        {{"apply", "-p", "/dev/no-such-port", "-p", "/dev/no-such-port", hot}, "is given twice"},
    };
    for (const auto &u : usage) {
        run = Run(u.args, state);
        EXPECT_EQ(run.code, 2) << u.error;
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(u.error))) << run.err.toStdString();
    }
}
