// Simulated controllers and timed orvexctl runs for the benchmarks that drive orvexctl.
// The including target defines ORVEXCTL and ORVEX_SIM as the programs' paths.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace bench {

// A simulator started with `args`; its device is appended to `devices`.
inline std::unique_ptr<QProcess> StartSimulator(const QStringList &args, QStringList &devices)
{
    auto sim = std::make_unique<QProcess>();
    sim->start(QStringLiteral(ORVEX_SIM), args);
    sim->waitForReadyRead(10000);
    devices << QString::fromLocal8Bit(sim->readLine()).trimmed();
    return sim;
}

inline std::vector<std::unique_ptr<QProcess>> StartSimulators(int count, const QStringList &args, QStringList &devices)
{
    std::vector<std::unique_ptr<QProcess>> sims;
    for (int i = 0; i < count; ++i)
        sims.push_back(StartSimulator(args, devices));
    return sims;
}

inline void StopSimulators(std::vector<std::unique_ptr<QProcess>> &sims)
{
    for (auto &sim : sims) {
        sim->terminate();
        sim->waitForFinished(5000);
    }
}

struct Timed
{
    double wall = -1;
    double cpu = -1;
    int status = -1; // the exit status, -1 when it did not exit
};

// Runs orvexctl to its end: wall seconds, and the CPU seconds it used itself (user + system), which
// QProcess cannot tell; its output goes nowhere.
inline Timed TimedRun(const QStringList &args)
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
    const bool started = posix_spawn(&pid, ORVEXCTL, &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started)
        return timed;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    timed.wall = wall.elapsed() / 1000.0;
    timed.cpu =
        usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    timed.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return timed;
}

// One table row: controllers, wall and CPU seconds, wall against the run with one controller. A run
// that failed measures nothing worth comparing, and says so.
inline QString Row(int controllers, const Timed &timed, double wallOfOne)
{
    QString row = QStringLiteral("%1  %2  %3  %4")
                      .arg(controllers, 11)
                      .arg(timed.wall, 6, 'f', 2)
                      .arg(timed.cpu, 5, 'f', 3)
                      .arg(timed.wall / wallOfOne, 14, 'f', 3);
    if (timed.status != 0)
        row += QStringLiteral("  (orvexctl exited %1)").arg(timed.status);
    return row + QLatin1Char('\n');
}

} // namespace bench
