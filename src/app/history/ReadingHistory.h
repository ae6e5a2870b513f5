// The session's monitor readings, kept in memory.
#pragma once

#include "InputKind.h"

#include <QtGlobal>

#include <utility>
#include <vector>

// One reading as the window showed it.
struct HistoryReading
{
    qint64 timeMs = 0; // wall-clock, milliseconds since the epoch
    float value = 0;   // degC or V; NaN where the window showed "Unknown"
    InputKind kind = InputKind::Temperature;
    float pwmPercent = 0;
    int alarm = -1; // the frame's alarm code, -1 when it had none
};

// Every reading of the session in time order, column by column (about 19 bytes a reading, so a day at
// one a second is under 2 MB), with time spans found by binary search.
class ReadingHistory
{
public:
    static constexpr int kNoAlarm = -1;

    // A reading older than the last one (the clock was set back) moves the earlier readings back by
    // as much: the order that spans are searched by holds, the newest stay on the wall clock and the
    // spacing stays real.
    void Append(const HistoryReading &reading);
    void Clear();
    // Changes whenever readings already kept change (a clear, a set-back clock): copies are stale.
    int Epoch() const { return epoch; }

    int Size() const { return static_cast<int>(times.size()); }
    bool IsEmpty() const { return times.empty(); }
    HistoryReading At(int index) const;
    qint64 TimeAt(int index) const { return times[static_cast<std::size_t>(index)]; }
    float ValueAt(int index) const { return values[static_cast<std::size_t>(index)]; }
    InputKind KindAt(int index) const
    {
        return kinds[static_cast<std::size_t>(index)] ? InputKind::Voltage : InputKind::Temperature;
    }
    qint64 FirstTime() const { return times.empty() ? 0 : times.front(); }
    qint64 LastTime() const { return times.empty() ? 0 : times.back(); }

    // The readings with from <= time <= to, as [first, last) indices.
    std::pair<int, int> IndexRange(qint64 from, qint64 to) const;

private:
    std::vector<qint64> times;
    std::vector<float> values;
    std::vector<float> pwms;
    std::vector<qint8> alarms; // codes are one digit
    std::vector<quint8> kinds;
    int epoch = 0;
};
