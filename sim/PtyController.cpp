// The controller model on the master side of a pseudo-terminal.
#include "PtyController.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PtyController::PtyController(QObject *parent) : QObject(parent)
{
    pump.setInterval(10);
    connect(&pump, &QTimer::timeout, this, &PtyController::Pump);
}

PtyController::~PtyController()
{
    HangUp();
    if (slaveHoldFd >= 0)
        ::close(slaveHoldFd);
}

bool PtyController::Start()
{
    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (masterFd < 0 || ::grantpt(masterFd) != 0 || ::unlockpt(masterFd) != 0)
        return false;
    devicePath = QString::fromLocal8Bit(::ptsname(masterFd));
    slaveHoldFd = ::open(::ptsname(masterFd), O_RDWR | O_NOCTTY | O_CLOEXEC);
    // Raw from the start: no echo of our own frames, no line editing of the image bytes.
    termios tio{};
    if (slaveHoldFd >= 0 && ::tcgetattr(slaveHoldFd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B9600);
        ::tcsetattr(slaveHoldFd, TCSANOW, &tio);
    }
    notifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PtyController::OnReadable);
    clock.start();
    pump.start();
    return true;
}

void PtyController::HangUp()
{
    if (masterFd < 0)
        return;
    delete notifier;
    notifier = nullptr;
    pump.stop();
    ::close(masterFd);
    masterFd = -1;
    if (slaveHoldFd >= 0) {
        ::close(slaveHoldFd);
        slaveHoldFd = -1;
    }
}

void PtyController::OnReadable()
{
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        const QByteArray bytes(buffer, static_cast<int>(n));
        received.append(bytes);
        model.Receive(bytes, Now());
    }
    Pump();
}

void PtyController::Pump()
{
    if (masterFd < 0)
        return;
    // Bytes still waiting on the line's far side mean no tool has read them yet; only a replay
    // that waits for its first reader asks.
    int unread = 0;
    const bool drained =
        !model.AwaitingReader() || slaveHoldFd < 0 || ::ioctl(slaveHoldFd, FIONREAD, &unread) != 0 || unread == 0;
    const QByteArray out = model.Poll(Now(), drained);
    qsizetype written = 0;
    while (written < out.size()) {
        const ssize_t n = ::write(masterFd, out.constData() + written, static_cast<size_t>(out.size() - written));
        if (n <= 0)
            break; // a full line drops what does not fit, as a real line would overrun
        written += n;
    }
}
