// A recording's rows, compact, and the file they come from.
#include "ReplayRecording.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void ReplayRecording::Add(const MonitorCsvRecord &record)
{
    const qint64 timeMs = record.time.toMSecsSinceEpoch();
    quint64 offset = 0;
    if (!rows.empty()) {
        // Only the steps forward count: a clock set back while recording pauses the pace there
        // instead of bursting out everything it overlapped.
        const quint64 step = static_cast<quint64>(std::max<qint64>(0, timeMs - lastTimeMs));
        offset = std::min<quint64>(rows.back().offsetMs + std::min(step, kLongestOffsetMs), kLongestOffsetMs);
    }
    lastTimeMs = timeMs;
    ReplayRow row{};
    row.offsetMs = offset;
    row.adc = static_cast<quint64>(std::clamp(record.adc, 0, 255));
    row.pwmRaw = static_cast<quint64>(std::clamp(record.pwmRaw, 0, 255));
    row.alarm = record.alarm ? static_cast<quint64>(std::clamp(*record.alarm, 0, 9)) : kNoAlarm;
    row.voltage = record.kind == MonitorReading::Voltage;
    rows.push_back(row);
}

QByteArray ReplayRecording::FrameOf(const ReplayRow &row)
{
    // A frame recorded without a code goes out without one: a made-up 0 would read as healthy.
    return FormatMonitorFrame(row.voltage ? MonitorReading::Voltage : MonitorReading::Temperature,
                              static_cast<int>(row.adc), static_cast<int>(row.pwmRaw),
                              row.alarm == kNoAlarm ? std::nullopt : std::optional<int>(static_cast<int>(row.alarm)));
}

LoadedReplay LoadReplay(const QString &path, qint64 limit)
{
    LoadedReplay loaded;
    const auto refuse = [&](const QString &why) {
        loaded.recording = ReplayRecording();
        loaded.error = QStringLiteral("%1: %2").arg(path, why);
        return std::move(loaded);
    };
    // Without O_NONBLOCK a FIFO would hold us in open() until a writer came.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return refuse(QStringLiteral("not a regular file; a recording is replayed from a file"));
    }
    const auto tooBig = [&](qint64 size) {
        return refuse(QStringLiteral("%1 bytes, more than the %2 a replay reads").arg(size).arg(limit));
    };
    if (info.st_size > limit) {
        ::close(fd);
        return tooBig(info.st_size);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file.errorString());
    }
    MonitorCsvSplitter splitter;
    const MonitorCsvSplitter::Take take = [&](const MonitorCsvRecord &record) { loaded.recording.Add(record); };
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n < 0)
            return refuse(QStringLiteral("cannot be read: %1").arg(file.errorString()));
        if (n == 0)
            break;
        total += n;
        if (total > limit) // it grew while we read
            return tooBig(total);
        splitter.Feed(QByteArrayView(chunk.constData(), n), take);
    }
    splitter.Finish(take);
    if (loaded.recording.Empty())
        return refuse(QStringLiteral("no readings to replay"));
    return loaded;
}
