// Monitor readings as CSV lines and back.
#include "MonitorCsv.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {
const QString kTemperature = QStringLiteral("temperature");
const QString kVoltage = QStringLiteral("voltage");

// A row without the raw columns (written by an older orvexctl): the raw values are found again
// from the shown ones.
int AdcOf(MonitorReading::Kind kind, double value)
{
    int best = 0;
    double bestDistance = 1e300;
    for (int adc = 0; adc <= 255; ++adc) {
        const double shown =
            kind == MonitorReading::Temperature ? ThermistorCelsius(adc) : ((adc + 1.5211) / 0.9826) / 25.5;
        const double distance = std::abs(shown - value);
        if (distance < bestDistance) {
            best = adc;
            bestDistance = distance;
        }
    }
    return best;
}
} // namespace

QString MonitorCsvHeader()
{
    return QStringLiteral("time,seconds,kind,value,pwm_percent,alarm_code,adc,pwm_raw");
}

QString MonitorCsvRow(const QDateTime &time, double seconds, const MonitorReading &reading)
{
    const bool temperature = reading.kind == MonitorReading::Temperature;
    const double value = temperature ? reading.liveValue : reading.liveValue / 25.5;
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8")
        .arg(time.toUTC().toString(Qt::ISODateWithMs), QString::asprintf("%.1f", seconds),
             temperature ? kTemperature : kVoltage, QString::asprintf("%.1f", value),
             QString::asprintf("%.1f", static_cast<double>(reading.pwmPercent)),
             reading.alarm ? QString::number(*reading.alarm) : QString())
        .arg(reading.adc)
        .arg(reading.pwmRaw);
}

std::optional<MonitorCsvRecord> ParseMonitorCsvRow(const QString &line)
{
    const QStringList cells = line.trimmed().split(QLatin1Char(','));
    if (cells.size() < 6)
        return std::nullopt;
    MonitorCsvRecord record;
    record.time = QDateTime::fromString(cells[0], Qt::ISODateWithMs);
    bool ok = false;
    record.seconds = cells[1].toDouble(&ok);
    // "nan" and "inf" read as numbers; no controller sent them.
    if (!record.time.isValid() || !ok || !std::isfinite(record.seconds))
        return std::nullopt;
    if (cells[2] == kTemperature)
        record.kind = MonitorReading::Temperature;
    else if (cells[2] == kVoltage)
        record.kind = MonitorReading::Voltage;
    else
        return std::nullopt;
    const double value = cells[3].toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double pwmPercent = cells[4].toDouble(&ok);
    if (!ok || !std::isfinite(pwmPercent))
        return std::nullopt;
    if (!cells[5].isEmpty()) {
        const int alarm = cells[5].toInt(&ok);
        if (!ok || alarm < 0 || alarm > 9)
            return std::nullopt;
        record.alarm = alarm;
    }
    bool rawAdc = false;
    bool rawPwm = false;
    if (cells.size() >= 8) {
        record.adc = cells[6].toInt(&rawAdc);
        record.pwmRaw = cells[7].toInt(&rawPwm);
    }
    if (!rawAdc || record.adc < 0 || record.adc > 255)
        record.adc = AdcOf(record.kind, value);
    if (!rawPwm || record.pwmRaw < 0 || record.pwmRaw > 255)
        record.pwmRaw = static_cast<int>(std::lround(std::clamp(pwmPercent, 0.0, 100.0) * 2.55));
    return record;
}

std::vector<MonitorCsvRecord> ParseMonitorCsv(const QString &text)
{
    std::vector<MonitorCsvRecord> records;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (std::optional<MonitorCsvRecord> record = ParseMonitorCsvRow(line))
            records.push_back(*record);
    }
    return records;
}

QByteArray MonitorFrameOf(const MonitorCsvRecord &record)
{
    // A frame recorded without a code goes out without one: a made-up 0 would read as healthy.
    return FormatMonitorFrame(record.kind, record.adc, record.pwmRaw, record.alarm);
}
