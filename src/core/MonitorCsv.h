// Monitor readings as CSV lines: orvexctl monitor --csv writes them, the window records them, and
// orvex-sim --replay plays them back.
#pragma once

#include "MonitorFrame.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// time (ISO 8601, UTC, milliseconds), seconds since the start, kind, value (degC or V), PWM percent,
// alarm code, and the frame's raw ADC and PWM values, so a replay gives back the very frames.
QString MonitorCsvHeader();
QString MonitorCsvRow(const QDateTime &time, double seconds, const MonitorReading &reading);

// A field as CSV quotes it (RFC 4180): in double quotes, its quotes doubled, when it holds a comma,
// a quote or a line break; as it is otherwise.
QString MonitorCsvField(const QString &text);
// The fields of one record, unquoted; none when its quotes do not pair up.
std::optional<QStringList> SplitCsvRecord(QStringView record);

// A row read back; none for the header, a blank line or a line that is no reading.
struct MonitorCsvRecord
{
    QDateTime time;
    double seconds = 0;
    MonitorReading::Kind kind = MonitorReading::Temperature;
    int adc = 0;
    int pwmRaw = 0;
    std::optional<int> alarm;
};
std::optional<MonitorCsvRecord> ParseMonitorCsvRow(const QString &line);

// Cuts CSV text into records as it comes, however it is chunked; a line break inside quotes belongs
// to its field. A record longer than any reading is passed over, so only one record is kept at a time.
class MonitorCsvSplitter
{
public:
    using Take = std::function<void(const MonitorCsvRecord &)>;
    static constexpr qsizetype kLongestRecord = 4096;
    // Hands on each reading that the bytes complete; records that are no reading are passed over.
    void Feed(QByteArrayView bytes, const Take &take);
    // The last record, when the text does not end on a line break.
    void Finish(const Take &take);

private:
    void EndRecord(const Take &take);
    QByteArray record;
    bool quoted = false;
    bool overlong = false;
};

// Every reading of a recording, in file order; lines that are no reading are passed over.
std::vector<MonitorCsvRecord> ParseMonitorCsv(const QString &text);

// The monitor frame the controller sent for a record.
QByteArray MonitorFrameOf(const MonitorCsvRecord &record);
