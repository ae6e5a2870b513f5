// Monitor frames: field scanning, conversions, alarm texts and the thermistor fault.
#include "MonitorFrame.h"

#include "FanCurve.h"

#include <algorithm>
#include <cmath>

namespace {
// The value after `pattern`: three digits as they stand, or one or two followed by "/".
std::optional<int> ScanField(const QString &frame, const QString &pattern)
{
    const qsizetype size = frame.size();
    for (qsizetype at = frame.indexOf(pattern); at >= 0; at = frame.indexOf(pattern, at + 1)) {
        qsizetype i = at + pattern.size();
        int digits = 0;
        int value = 0;
        while (i < size && digits < 3 && frame[i].isDigit() && frame[i].unicode() < 128) {
            value = value * 10 + (frame[i].unicode() - u'0');
            ++digits;
            ++i;
        }
        if (digits == 3)
            return value;
        if (digits > 0 && i < size && frame[i] == QLatin1Char('/'))
            return value;
    }
    return std::nullopt;
}

// The last "arm: " followed by a digit counts.
std::optional<int> ScanAlarm(const QString &frame)
{
    std::optional<int> code;
    const QString pattern = QStringLiteral("arm: ");
    for (qsizetype at = frame.indexOf(pattern); at >= 0; at = frame.indexOf(pattern, at + 1)) {
        const qsizetype digit = at + pattern.size();
        if (digit < frame.size() && frame[digit].isDigit() && frame[digit].unicode() < 128)
            code = frame[digit].unicode() - u'0';
    }
    return code;
}
} // namespace

QByteArray FormatMonitorFrame(MonitorReading::Kind kind, int adc, int pwmRaw, std::optional<int> alarm)
{
    return QStringLiteral("<ADC%1)%2/ PWM: %3/ Alarm: %4>")
        .arg(kind == MonitorReading::Temperature ? QLatin1Char('T') : QLatin1Char('V'))
        .arg(adc)
        .arg(pwmRaw)
        .arg(alarm ? QString::number(*alarm) : QString())
        .toLatin1();
}

float ThermistorCelsius(int adc)
{
    float x = static_cast<float>(std::min(adc, 255));
    if (x == 0)
        x = 1;
    if (x == 255)
        x = 254;
    float r = x * 100000.0f / (255.0f - x);
    if (r == 0)
        r = 1;
    const float l = std::log(r / 100000.0f);
    const float inverse = 0.003354016f + 0.000246038f * l + 3.40538e-06f * l * l + 1.03424e-07f * l * l * l;
    return 1.0f / inverse - 273.15f;
}

std::optional<MonitorReading> ParseMonitorFrame(const QString &frame)
{
    MonitorReading reading;
    if (frame.contains(QStringLiteral("ADCT")))
        reading.kind = MonitorReading::Temperature;
    else if (frame.contains(QStringLiteral("ADCV")))
        reading.kind = MonitorReading::Voltage;
    else
        return std::nullopt;
    const std::optional<int> adc = ScanField(
        frame, reading.kind == MonitorReading::Temperature ? QStringLiteral("ADCT)") : QStringLiteral("ADCV)"));
    const std::optional<int> pwm = ScanField(frame, QStringLiteral("PWM: "));
    if (!adc || !pwm)
        return std::nullopt;
    reading.adc = *adc;
    reading.pwmRaw = *pwm;
    reading.alarm = ScanAlarm(frame);

    if (reading.kind == MonitorReading::Temperature) {
        reading.liveValue = ThermistorCelsius(reading.adc);
        float onChart = reading.liveValue;
        if (onChart < 0)
            onChart = 0;
        if (onChart >= 63)
            onChart = 63;
        reading.livePointX = static_cast<float>((onChart + 0.6176) / 0.2499);
    } else {
        float v = static_cast<float>((reading.adc + 1.5211) / 0.9826);
        if (v < 0)
            v = 0;
        if (v >= 249)
            v = 255;
        reading.liveValue = v;
        reading.livePointX = v;
    }
    reading.pwmPercent = static_cast<float>(reading.pwmRaw) / 2.55f;
    reading.pwmValue = RoundHalfAwayF(reading.pwmPercent);
    return reading;
}

void ThermistorFaultTracker::Update(MonitorReading &reading)
{
    if (reading.alarm && reading.kind == MonitorReading::Temperature) {
        switch (*reading.alarm) {
        case 0:
        case 4:
        case 5: Reset(); break;
        case 1: shortCircuit = true; break;
        case 2: openCircuit = true; break;
        default: break;
        }
    }
    reading.thermistorFault = Fault();
}

std::optional<QString> AlarmText(int code, MonitorReading::Kind kind)
{
    const QString warning = QStringLiteral("                  WARNING:\n");
    const bool temperature = kind == MonitorReading::Temperature;
    switch (code) {
    case 0: return QStringLiteral("         SYSTEM HEALTHY\n    - NO ACTIVE ALARMS -");
    case 1:
        return warning + (temperature ? QStringLiteral(" Thermistor Short Circuit Alarm ON")
                                      : QStringLiteral(": High Voltage Alarm ON"));
    case 2:
        return warning + (temperature ? QStringLiteral(" Thermistor Open Circuit Alarm ON")
                                      : QStringLiteral(" Low Voltage Alarm ON"));
    case 3: return warning + QStringLiteral(" Tacho Signal Lost Alarm ON");
    case 4:
        return temperature ? std::optional<QString>(warning + QStringLiteral(" High Temperature Alarm ON"))
                           : std::nullopt;
    case 5:
        return temperature ? std::optional<QString>(warning + QStringLiteral(" Low Temperature Alarm ON"))
                           : std::nullopt;
    default: return std::nullopt;
    }
}

float ShownValue(float liveValue, bool temperature)
{
    return temperature ? liveValue : static_cast<float>(liveValue / 25.5);
}

QString ReadingText(float liveValue, bool temperature, bool thermistorFault)
{
    if (temperature)
        return thermistorFault ? QStringLiteral("Temperature: Unknown")
                               : QString::asprintf("Temperature: %.1f", liveValue);
    return QString::asprintf("Voltage: %.1f", ShownValue(liveValue, false));
}

QString PwmText(int pwmValue)
{
    return QStringLiteral("PWM: %1").arg(pwmValue == 99 ? 100 : pwmValue);
}
