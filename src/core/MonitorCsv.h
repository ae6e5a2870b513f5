// Monitor readings as CSV lines: orvexctl monitor --csv writes them, the window records them, and
// orvex-sim --replay plays them back.
#pragma once

#include "MonitorFrame.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// time (ISO 8601, UTC, milliseconds), seconds since the start, kind, value (degC or V), PWM percent,
// alarm code, and the frame's raw ADC and PWM values, so a replay gives back the very frames.
QString MonitorCsvHeader();
QString MonitorCsvRow(const QDateTime &time, double seconds, const MonitorReading &reading);

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

// Every reading of a recording, in file order; lines that are no reading are passed over.
std::vector<MonitorCsvRecord> ParseMonitorCsv(const QString &text);

// The monitor frame the controller sent for a record.
QByteArray MonitorFrameOf(const MonitorCsvRecord &record);
