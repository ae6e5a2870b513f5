// The port list of the link commands.
#include "Transfers.h"

std::optional<QStringList> PortsOf(const CommandLine &line, const QCommandLineOption &port)
{
    const QStringList ports = line.Values(port);
    if (ports.isEmpty()) {
        line.UsageError(QStringLiteral("--port DEV is missing"));
        return std::nullopt;
    }
    for (const QString &device : ports) {
        if (ports.count(device) > 1) {
            line.UsageError(QStringLiteral("--port %1 is given twice").arg(device));
            return std::nullopt;
        }
    }
    return ports;
}
