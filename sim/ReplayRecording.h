// A recording as the simulator plays it back, and reading one from a file.
#pragma once

#include "MonitorCsv.h"

#include <QByteArray>
#include <QString>

#include <deque>

// One recorded reading in eight bytes, so that a long recording fits in memory.
struct ReplayRow
{
    quint64 offsetMs : 43; // recorded time after the first row: 278 years
    quint64 adc : 8;
    quint64 pwmRaw : 8;
    quint64 alarm : 4; // kNoAlarm when the row had no code
    quint64 voltage : 1;
};
static_assert(sizeof(ReplayRow) == 8);

// The rows of a recording with their pace, built a row at a time.
class ReplayRecording
{
public:
    static constexpr quint64 kNoAlarm = 15;
    static constexpr quint64 kLongestOffsetMs = (quint64(1) << 43) - 1;

    void Add(const MonitorCsvRecord &record);
    std::size_t Size() const { return rows.size(); }
    bool Empty() const { return rows.empty(); }
    const ReplayRow &operator[](std::size_t i) const { return rows[i]; }
    // The monitor frame the controller sent for a row.
    static QByteArray FrameOf(const ReplayRow &row);

private:
    std::deque<ReplayRow> rows; // grows in blocks: no copy of the whole at any size
    qint64 lastTimeMs = 0;
};

// A recording bigger than this is refused: some 16 million readings, half a year at one a second.
inline constexpr qint64 kReplayFileLimit = qint64(1) << 30;

struct LoadedReplay
{
    ReplayRecording recording;
    QString error; // the whole refusal, naming the file
};

// Reads a recording as a stream, keeping only its rows; only a regular file of at most limit bytes.
LoadedReplay LoadReplay(const QString &path, qint64 limit = kReplayFileLimit);
