// Checked writes to the standard descriptors.
#include "Output.h"

#include "Interrupts.h"
#include "LinkLog.h"

#include <QJsonDocument>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString stdoutError;
bool readerGone = false;
bool closedStreams[3] = {false, false, false};

// Every byte or the reason why not; EINTR goes round again.
QString WriteAll(int fd, const QByteArray &bytes, bool *brokenPipe = nullptr)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EPIPE && brokenPipe)
            *brokenPipe = true;
        if (n <= 0)
            return QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO));
        done += n;
    }
    return {};
}
} // namespace

void GuardStandardStreams()
{
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            closedStreams[fd] = true;
            ::open("/dev/null", O_RDWR); // takes the lowest free descriptor: this one
        }
    }
}

bool StandardStreamClosed(int fd)
{
    return fd >= 0 && fd < 3 && closedStreams[fd];
}

namespace Out {
void Write(const QByteArray &bytes)
{
    if (!stdoutError.isEmpty() || bytes.isEmpty())
        return;
    if (closedStreams[STDOUT_FILENO]) {
        stdoutError = QString::fromLocal8Bit(std::strerror(EBADF));
        return;
    }
    Interrupts::Blocking blocking; // a reader that stops reading must not keep us past a Ctrl+C
    stdoutError = WriteAll(STDOUT_FILENO, bytes, &readerGone);
}

void Text(const QString &text)
{
    Write(text.toUtf8());
}

void Line(const QString &line)
{
    Write(line.toUtf8() + '\n');
}

void Json(const QJsonObject &object)
{
    Write(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

bool Failed()
{
    return !stdoutError.isEmpty();
}

bool ReaderGone()
{
    return readerGone;
}

int Finish(int code)
{
    if (stdoutError.isEmpty())
        return code;
    Err::Line(QStringLiteral("standard output: %1").arg(stdoutError));
    return kExitFailed;
}

int FinishOrReaderGone(int code)
{
    return readerGone ? kExitClosedPipe : Finish(code);
}
} // namespace Out

namespace Err {
void Note(const QString &line)
{
    Interrupts::Blocking blocking;
    WriteAll(STDERR_FILENO, line.toUtf8() + '\n'); // nowhere left to report a failure of stderr
}

void Line(const QString &line)
{
    Note(QStringLiteral("orvexctl: ") + line);
}

void StartTrace()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    // Through our own writes: Qt's default output may go to the journal instead of the terminal.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context, const QString &message) {
        Note(context.category && std::strcmp(context.category, "default") != 0
                 ? QString::fromLatin1(context.category) + QStringLiteral(": ") + message
                 : message);
    });
    EnableLinkTrace();
}
} // namespace Err

int Refuse(const QString &message)
{
    Err::Line(message);
    return kExitFailed;
}
