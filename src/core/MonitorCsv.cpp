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

QString MonitorCsvField(const QString &text)
{
    const bool special = std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    });
    if (!special)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

std::optional<QStringList> SplitCsvRecord(QStringView record)
{
    QStringList fields;
    qsizetype i = 0;
    for (;;) {
        QString field;
        if (i < record.size() && record[i] == QLatin1Char('"')) {
            for (++i;; ++i) {
                if (i >= record.size())
                    return std::nullopt; // the quote never closes
                if (record[i] == QLatin1Char('"')) {
                    if (i + 1 < record.size() && record[i + 1] == QLatin1Char('"'))
                        ++i; // a doubled quote is one quote of the text
                    else
                        break;
                }
                field += record[i];
            }
            ++i;
            if (i < record.size() && record[i] != QLatin1Char(','))
                return std::nullopt; // text after the closing quote
        } else {
            const qsizetype comma = record.indexOf(QLatin1Char(','), i);
            const qsizetype end = comma < 0 ? record.size() : comma;
            field = record.mid(i, end - i).toString();
            if (field.contains(QLatin1Char('"')))
                return std::nullopt; // a quote inside an unquoted field
            i = end;
        }
        fields << field;
        if (i >= record.size())
            return fields;
        ++i; // past the comma
    }
}

std::optional<MonitorCsvRecord> ParseMonitorCsvRow(const QString &line)
{
    const std::optional<QStringList> split = SplitCsvRecord(QStringView(line).trimmed());
    if (!split || split->size() < 6)
        return std::nullopt;
    const QStringList &cells = *split;
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

void MonitorCsvSplitter::Feed(QByteArrayView bytes, const Take &take)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '"') {
            quoted = !quoted; // a doubled quote toggles twice
        } else if (c == '\n' && !quoted) {
            if (!overlong)
                record.append(bytes.data() + start, i - start);
            start = i + 1;
            EndRecord(take);
            continue;
        }
        if (!overlong && record.size() + (i + 1 - start) > kLongestRecord) {
            overlong = true; // no reading is this long: pass it over up to its end
            record.clear();
        }
    }
    if (!overlong)
        record.append(bytes.data() + start, bytes.size() - start);
}

void MonitorCsvSplitter::Finish(const Take &take)
{
    EndRecord(take);
    quoted = false;
}

void MonitorCsvSplitter::EndRecord(const Take &take)
{
    if (!overlong && !record.isEmpty()) {
        if (const std::optional<MonitorCsvRecord> parsed = ParseMonitorCsvRow(QString::fromUtf8(record)))
            take(*parsed);
    }
    record.clear();
    overlong = false;
}

std::vector<MonitorCsvRecord> ParseMonitorCsv(const QString &text)
{
    std::vector<MonitorCsvRecord> records;
    const auto take = [&records](const MonitorCsvRecord &record) { records.push_back(record); };
    MonitorCsvSplitter splitter;
    splitter.Feed(text.toUtf8(), take);
    splitter.Finish(take);
    return records;
}

QByteArray MonitorFrameOf(const MonitorCsvRecord &record)
{
    // A frame recorded without a code goes out without one: a made-up 0 would read as healthy.
    return FormatMonitorFrame(record.kind, record.adc, record.pwmRaw, record.alarm);
}
