// The controller's monitor frames and what they say.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a monitor frame says, converted for display.
struct MonitorReading
{
    enum Kind { Temperature = 1, Voltage = 2 };
    Kind kind = Temperature;
    int adc = 0;
    int pwmRaw = 0;
    std::optional<int> alarm;
    float liveValue = 0;  // degC, or the voltage count (0..255)
    float livePointX = 0; // x on the chart's entry scale
    float pwmPercent = 0;
    int pwmValue = 0;
    // The thermistor reported a short or open circuit in this frame or an earlier one, and no
    // frame has cleared it since (set by ThermistorFaultTracker).
    bool thermistorFault = false;
};

// A frame as the controller sends it: "<ADCT)142/ PWM: 76/ Alarm: 0>"; without an alarm code,
// "Alarm: >", which reads as a frame with no code.
QByteArray FormatMonitorFrame(MonitorReading::Kind kind, int adc, int pwmRaw, std::optional<int> alarm);

// None when the frame lacks its input kind, input value or PWM value: such a frame changes nothing.
std::optional<MonitorReading> ParseMonitorFrame(const QString &frame);

// The thermistor's fault as the frames tell it: alarm 1 (short) or 2 (open) on a temperature input
// sets it; 0, 4 or 5 clears it; other codes and voltage inputs leave it.
class ThermistorFaultTracker
{
public:
    void Update(MonitorReading &reading);
    bool Fault() const { return shortCircuit || openCircuit; }
    void Reset() { shortCircuit = openCircuit = false; }

private:
    bool shortCircuit = false;
    bool openCircuit = false;
};

// Temperature of an 8-bit reading of the 100 kOhm thermistor input.
float ThermistorCelsius(int adc);

// The status text for an alarm code; none where the code leaves the text as it was.
std::optional<QString> AlarmText(int code, MonitorReading::Kind kind);

// The reading's value in the window's form, whatever the frame's kind: degrees as read, or the
// voltage count as volts.
float ShownValue(float liveValue, bool temperature);

// The readouts under the chart: "Temperature: 24.8" (or "Temperature: Unknown" while the thermistor
// is faulty) or "Voltage: 4.1" from the voltage count; "PWM: 30", with 99 shown as 100.
QString ReadingText(float liveValue, bool temperature, bool thermistorFault);
QString PwmText(int pwmValue);
