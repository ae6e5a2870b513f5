// orvexctl apply to 1 and to 16 simulated controllers, once when they already hold the profile and
// once when they hold another: wall and CPU time, and the wall time against that of one controller.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {
QTextStream out(stdout);

std::vector<std::unique_ptr<QProcess>> StartSimulators(int count, const QString &profile, QStringList &devices)
{
    std::vector<std::unique_ptr<QProcess>> sims;
    for (int i = 0; i < count; ++i) {
        auto sim = std::make_unique<QProcess>();
        sim->start(QStringLiteral(ORVEX_SIM), {QStringLiteral("--profile"), profile});
        sim->waitForReadyRead(10000);
        devices << QString::fromLocal8Bit(sim->readLine()).trimmed();
        sims.push_back(std::move(sim));
    }
    return sims;
}

struct Timed
{
    double wall = -1;
    double cpu = -1;
    int status = -1;
};

// Runs orvexctl to its end: wall seconds, and the CPU seconds it used itself (user + system).
Timed TimedRun(const QStringList &args)
{
    std::vector<QByteArray> owned{QByteArrayLiteral(ORVEXCTL)};
    for (const QString &arg : args)
        owned.push_back(arg.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : owned)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer wall;
    wall.start();
    pid_t pid = 0;
    Timed timed;
    if (posix_spawn(&pid, ORVEXCTL, &actions, nullptr, argv.data(), environ) != 0)
        return timed;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    timed.wall = wall.elapsed() / 1000.0;
    timed.cpu =
        usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    timed.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return timed;
}

// One row a count; the controllers start with `held` stored and are sent `profile`.
void ApplyBench(const char *title, const QString &held, const QString &profile)
{
    out << title << "\ncontrollers  wall s  cpu s  wall / wall(1)\n";
    double one = 0;
    for (int count : {1, 16}) {
        QStringList devices;
        auto sims = StartSimulators(count, held, devices);
        QStringList args{QStringLiteral("apply")};
        for (const QString &device : devices)
            args << QStringLiteral("-p") << device;
        args << profile;
        const Timed timed = TimedRun(args);
        if (count == 1)
            one = timed.wall;
        out << QStringLiteral("%1  %2  %3  %4")
                   .arg(count, 11)
                   .arg(timed.wall, 6, 'f', 2)
                   .arg(timed.cpu, 5, 'f', 3)
                   .arg(timed.wall / one, 14, 'f', 3);
        // A run that failed measures nothing worth comparing.
        if (timed.status != 0)
            out << "  (orvexctl exited " << timed.status << ")";
        out << "\n";
        out.flush();
        for (auto &sim : sims) {
            sim->terminate();
            sim->waitForFinished(5000);
        }
    }
}

QString Encode(const QString &path, const QByteArray &text)
{
    QProcess encode;
    encode.start(QStringLiteral(ORVEXCTL), {QStringLiteral("encode"), QStringLiteral("-"), QStringLiteral("-o"), path});
    encode.write(text);
    encode.closeWriteChannel();
    encode.waitForFinished();
    return path;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The simulators' registrations and the journal of the downloads stay in here.
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    qputenv("ORVEX_STATE_DIR", dir.filePath(QStringLiteral("state")).toLocal8Bit());
    const QString profile = Encode(dir.filePath(QStringLiteral("p.dat")), "topBand = 45\nfanSpeedTopBand = 95\n");
    const QString other = Encode(dir.filePath(QStringLiteral("other.dat")), "topBand = 46\nfanSpeedTopBand = 95\n");
    ApplyBench("apply, every controller already holds the profile (read only)", profile, profile);
    ApplyBench("apply, every controller holds another profile (read, download, read back)", other, profile);
    return 0;
}
