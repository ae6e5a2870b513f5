// Fuzz target: monitor frames.
#include "LinkText.h"
#include "MonitorFrame.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = LineText(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (IsMonitorFrame(text)) {
        if (const auto reading = ParseMonitorFrame(text)) {
            if (reading->alarm)
                AlarmText(*reading->alarm, reading->kind);
            ReadingText(reading->liveValue, reading->kind == MonitorReading::Temperature, false);
        }
    }
    return 0;
}
