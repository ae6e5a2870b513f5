// The CSV recorder of monitor readings.
#include "ReadingRecorder.h"

#include "AtomicFile.h"
#include "MonitorCsv.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

QString ReadingRecorder::Start(const QString &path)
{
    Stop();
    // A device or a FIFO is never a record: refuse rather than write into it or replace it.
    if (ExistsButIsNoRegularFile(path))
        return QStringLiteral("%1 is not a regular file").arg(path);
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return file.errorString();
    whole = 0;
    sinceStart.start();
    if (!WriteLine(MonitorCsvHeader()))
        return lastError;
    return {};
}

void ReadingRecorder::Stop()
{
    if (file.isOpen())
        file.close();
}

bool ReadingRecorder::Record(const QDateTime &time, const MonitorReading &reading)
{
    if (!file.isOpen())
        return false;
    // Lines written into a deleted file would be lost while the menu says they are kept.
    if (const QString why = Gone(); !why.isEmpty()) {
        lastError = why;
        Stop();
        return false;
    }
    return WriteLine(MonitorCsvRow(time, sinceStart.elapsed() / 1000.0, reading));
}

bool ReadingRecorder::WriteLine(const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    qint64 written = 0;
    while (written < bytes.size()) {
        // A short write reports no error; the next attempt says why (a full disk, say).
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written == bytes.size()) {
        whole += written;
        return true;
    }
    lastError = file.errorString();
    // A reader must never meet half a line at the end.
    if (written > 0)
        file.resize(whole);
    Stop();
    return false;
}

QString ReadingRecorder::Gone() const
{
#ifdef Q_OS_UNIX
    struct stat held
    {
    };
    struct stat named
    {
    };
    if (::fstat(file.handle(), &held) != 0)
        return {};
    if (held.st_nlink == 0)
        return QStringLiteral("The file was deleted while recording.");
    if (::stat(QFile::encodeName(file.fileName()).constData(), &named) != 0 || named.st_dev != held.st_dev ||
        named.st_ino != held.st_ino)
        return QStringLiteral("The file is no longer there: it was moved or replaced while recording.");
#endif
    return {};
}
