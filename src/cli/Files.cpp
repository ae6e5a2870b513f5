// Bounded reads, checked writes, standard input and output for "-".
#include "Files.h"

#include "AtomicFile.h"
#include "Interrupts.h"
#include "Output.h"
#include "ProfileFileReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString NameOf(const QString &path)
{
    return path == QStringLiteral("-") ? QStringLiteral("standard input") : path;
}

// Reads until the end, or until more than `limit` bytes came; false with errno on a read error.
bool ReadBounded(int fd, qsizetype limit, QByteArray &bytes)
{
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.append(buffer, n);
        if (bytes.size() > limit)
            return true;
    }
}

InputRead ReadDescriptor(const QString &path, qsizetype limit)
{
    InputRead read;
    Interrupts::Blocking blocking; // a FIFO without a writer blocks in open(), a terminal in read()
    const bool stdinput = path == QStringLiteral("-");
    if (stdinput && StandardStreamClosed(STDIN_FILENO)) {
        read.error = QStringLiteral("standard input: %1").arg(ErrnoText(EBADF));
        return read;
    }
    const int fd = stdinput ? STDIN_FILENO : ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        read.error = QStringLiteral("%1: %2").arg(path, ErrnoText(errno));
        return read;
    }
    if (!ReadBounded(fd, limit, read.bytes))
        read.error = QStringLiteral("%1: %2").arg(NameOf(path), ErrnoText(errno));
    if (!stdinput)
        ::close(fd);
    return read;
}
} // namespace

bool IsStandardStream(const QString &path)
{
    return path == QStringLiteral("-") || path == QStringLiteral("/dev/stdout");
}

InputRead ReadTextInput(const QString &path)
{
    InputRead read = ReadDescriptor(path, kProfileTextLimit);
    if (read.error.isEmpty() && read.bytes.size() > kProfileTextLimit) {
        read.error = QStringLiteral("%1: longer than %2 KiB; that is no profile text")
                         .arg(NameOf(path))
                         .arg(kProfileTextLimit / 1024);
        read.bytes.clear();
    }
    return read;
}

ProfileInput ReadProfileInput(const QString &path)
{
    ProfileInput input;
    if (path == QStringLiteral("-")) {
        const InputRead read = ReadDescriptor(path, kFileImageSize);
        if (!read.error.isEmpty()) {
            input.error = read.error;
            return input;
        }
        if (read.bytes.size() > kFileImageSize) {
            input.error = QStringLiteral("standard input: Wrong type of file opened!, file larger than expected.");
            return input;
        }
        input.length = read.bytes.size();
        std::copy_n(read.bytes.begin(), std::min<qsizetype>(read.bytes.size(), kProfileImageSize), input.image.begin());
        return input;
    }
    const ProfileFileRead read = ReadProfileFile(path);
    if (read.outcome == ProfileFileRead::CannotOpen) {
        input.error = QStringLiteral("%1: Couldn't open source file. (%2)").arg(path, read.reason);
        return input;
    }
    if (read.outcome == ProfileFileRead::TooLarge) {
        input.error = QStringLiteral("%1: Wrong type of file opened!, file larger than expected.").arg(path);
        return input;
    }
    input.length = read.length;
    std::copy_n(read.image.begin(), kProfileImageSize, input.image.begin());
    return input;
}

QString WriteOutput(const QString &path, const QByteArray &bytes)
{
    if (Interrupts::Received())
        return QStringLiteral("interrupted; nothing was written"); // main ends with the signal's status
    if (IsStandardStream(path)) {
        Out::Write(bytes); // a failure is told once, by Out::Finish
        return {};
    }
    return WriteFileAtomically(path, bytes);
}

QString OutputProblem(const QString &path)
{
    if (IsStandardStream(path))
        return {};
    if (ExistsButIsNoRegularFile(path))
        return QStringLiteral("%1 is not a regular file").arg(path);
    const QFileInfo target(path);
    if (target.exists() && !target.isWritable())
        return QStringLiteral("%1 may not be written").arg(path);
    // The new file is made beside the target and renamed over it.
    const QFileInfo folder(target.exists() ? QFileInfo(target.canonicalFilePath()).absolutePath()
                                           : target.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("%1: no such folder").arg(folder.filePath());
    if (::access(QFile::encodeName(folder.filePath()).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("%1: %2").arg(folder.filePath(), ErrnoText(errno));
    return {};
}
