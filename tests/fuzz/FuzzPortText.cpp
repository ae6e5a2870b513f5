// Fuzz target: port names and typed paths.
#include "PortList.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const auto number = ParsePortNumber(text)) {
        if (*number < 1 || *number > 999)
            __builtin_trap(); // one to three digits, never 0
    }
    static const std::vector<PortEntry> ports{{"/dev/ttyUSB0", "FT232R USB UART"}};
    DeviceOfEntry(text, ports);
    return 0;
}
