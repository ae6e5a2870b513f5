// The session's readings: appending in time order and finding spans.
#include "ReadingHistory.h"

#include <algorithm>

void ReadingHistory::Append(const HistoryReading &reading)
{
    if (!times.empty() && reading.timeMs < times.back()) {
        const qint64 back = times.back() - reading.timeMs;
        for (qint64 &time : times)
            time -= back;
        ++epoch;
    }
    times.push_back(reading.timeMs);
    values.push_back(reading.value);
    pwms.push_back(reading.pwmPercent);
    alarms.push_back(static_cast<qint8>(std::clamp(reading.alarm, kNoAlarm, 127)));
    kinds.push_back(reading.kind == InputKind::Voltage ? 1 : 0);
}

void ReadingHistory::Clear()
{
    ++epoch;
    times.clear();
    values.clear();
    pwms.clear();
    alarms.clear();
    kinds.clear();
}

HistoryReading ReadingHistory::At(int index) const
{
    const auto i = static_cast<std::size_t>(index);
    return {times[i], values[i], kinds[i] ? InputKind::Voltage : InputKind::Temperature, pwms[i], alarms[i]};
}

std::pair<int, int> ReadingHistory::IndexRange(qint64 from, qint64 to) const
{
    const auto first = std::lower_bound(times.begin(), times.end(), from);
    const auto last = std::upper_bound(first, times.end(), std::max(from, to));
    return {static_cast<int>(first - times.begin()), static_cast<int>(last - times.begin())};
}
