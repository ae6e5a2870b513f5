// orvexctl with its standard output on a pipe whose reader has gone, or on a terminal.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Runs orvexctl with standard output a pipe nobody reads any more, as `| head -1` leaves it, and
// SIGPIPE at its default whatever the test runner set; standard error goes to errorFile. Returns the
// wait status.
inline int RunIntoAClosedPipe(const QStringList &args, const QByteArray &errorFile = "/dev/null")
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    ::close(fds[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
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

// Runs orvexctl with standard output on a terminal and `input` on standard input; returns the
// wait status, and in `shown` what reached the terminal.
inline int RunOnATerminal(const QStringList &args, const QByteArray &input, QByteArray &shown)
{
    int master = -1;
    int slave = -1;
    int in[2];
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0 || ::pipe(in) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, slave, STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, master);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    std::vector<QByteArray> owned{QByteArray(ORVEXCTL)};
    for (const QString &arg : args)
        owned.push_back(arg.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &arg : owned)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, ORVEXCTL, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(slave);
    [[maybe_unused]] const ssize_t written = ::write(in[1], input.constData(), static_cast<size_t>(input.size()));
    ::close(in[1]);
    int status = -1;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid)
        status = -1;
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(master, buffer, sizeof buffer)) > 0)
        shown.append(buffer, n);
    ::close(master);
    return status;
}
