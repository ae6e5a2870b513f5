// The port list of the link commands.
#include "Transfers.h"

#include "PortList.h"

QString DevicePath(const QString &device)
{
    return device.contains(QLatin1Char('/')) ? device : QStringLiteral("/dev/") + device;
}

std::optional<QStringList> PortsOf(const CommandLine &line, const QCommandLineOption &port)
{
    const QStringList ports = line.Values(port);
    if (ports.isEmpty()) {
        line.UsageError(QStringLiteral("--port DEV is missing"));
        return std::nullopt;
    }
    // A link and the device it points at are one line: two jobs on it would mix their bytes.
    for (qsizetype i = 0; i < ports.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            if (!SamePort(DevicePath(ports[j]), DevicePath(ports[i])))
                continue;
            line.UsageError(
                ports[j] == ports[i]
                    ? QStringLiteral("--port %1 is given twice").arg(ports[i])
                    : QStringLiteral("--port %1 and --port %2 name the same device").arg(ports[j], ports[i]));
            return std::nullopt;
        }
    }
    return ports;
}
