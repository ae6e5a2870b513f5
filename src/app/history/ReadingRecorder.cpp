// The CSV recorder of monitor readings.
#include "ReadingRecorder.h"

#include "AtomicFile.h"
#include "MonitorCsv.h"

QString ReadingRecorder::Start(const QString &path)
{
    Stop();
    // A device or a FIFO is never a record: refuse rather than write into it or replace it.
    if (ExistsButIsNoRegularFile(path))
        return QStringLiteral("%1 is not a regular file").arg(path);
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return file.errorString();
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
    return WriteLine(MonitorCsvRow(time, sinceStart.elapsed() / 1000.0, reading));
}

bool ReadingRecorder::WriteLine(const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (file.write(bytes) == bytes.size())
        return true;
    lastError = file.errorString();
    Stop();
    return false;
}
