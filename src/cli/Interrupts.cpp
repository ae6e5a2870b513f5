// Signals reach the event loop through a socket pair; inside a blocking call they end the process.
#include "Interrupts.h"

#include <QEventLoop>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
std::atomic<int> received{0};
std::atomic<int> blockingDepth{0};
int wakeFds[2] = {-1, -1};

void OnSignal(int signal)
{
    received.store(signal);
    if (blockingDepth.load() > 0)
        ::_exit(128 + signal); // the blocked call would never return to look at the flag
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t ignored = ::write(wakeFds[1], &byte, 1);
}
} // namespace

namespace Interrupts {
void Install()
{
    if (wakeFds[0] < 0)
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds);
    struct sigaction action
    {
    };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A reader that went away (`| head -1`) is a write error we report and exit 1 on; the signal
    // would kill a download with half the image sent.
    ::signal(SIGPIPE, SIG_IGN);
}

int Received()
{
    return received.load();
}

int ExitCode()
{
    return 128 + received.load();
}

InterruptNotifier *Notifier()
{
    static InterruptNotifier *notifier = [] {
        auto *made = new InterruptNotifier;
        auto *socket = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, made);
        QObject::connect(socket, &QSocketNotifier::activated, made, [made] {
            char byte = 0;
            while (::read(wakeFds[0], &byte, 1) > 0) {
            }
            emit made->interrupted(received.load());
        });
        // A signal that came before the loop ran is not lost: the byte waits in the socket.
        return made;
    }();
    return notifier;
}

std::optional<int> Exec(QEventLoop &loop)
{
    const QMetaObject::Connection quit =
        QObject::connect(Notifier(), &InterruptNotifier::interrupted, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(quit);
    return Received() != 0 ? std::optional<int>(ExitCode()) : std::nullopt;
}

Blocking::Blocking()
{
    blockingDepth.fetch_add(1);
    if (const int signal = received.load())
        ::_exit(128 + signal);
}

Blocking::~Blocking()
{
    blockingDepth.fetch_sub(1);
}
} // namespace Interrupts
