// Ctrl+C and SIGTERM: every command ends promptly with 130 or 143, even inside a blocking call.
#pragma once

#include <QObject>

#include <optional>

class QEventLoop;

class InterruptNotifier : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void interrupted(int signal);
};

namespace Interrupts {
// Installs the handlers; first thing in main, before anything can block.
void Install();
// The signal received so far, 0 when none.
int Received();
// 128 + the signal, as a shell reports it.
int ExitCode();
// Emits interrupted() on the event loop when a signal comes while the loop runs.
InterruptNotifier *Notifier();
// Runs the loop until it quits or a signal ends it: the signal's exit status then, else none.
std::optional<int> Exec(QEventLoop &loop);

// A call that may block for ever (open() of a FIFO or a hung device, a read of standard input):
// a signal inside it ends the process at once. Nothing may be half-written inside one.
class Blocking
{
public:
    Blocking();
    ~Blocking();
    Blocking(const Blocking &) = delete;
    Blocking &operator=(const Blocking &) = delete;
};
} // namespace Interrupts
