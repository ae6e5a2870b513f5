// The port list of the link commands.
#include "Transfers.h"

#include <QFileInfo>
#include <QHash>

std::optional<QStringList> PortsOf(const CommandLine &line, const QCommandLineOption &port)
{
    const QStringList ports = line.Values(port);
    if (ports.isEmpty()) {
        line.UsageError(QStringLiteral("--port DEV is missing"));
        return std::nullopt;
    }
    // A link and the device it points at are one line: two jobs on it would mix their bytes.
    QHash<QString, QString> named;
    for (const QString &device : ports) {
        const QString path = device.contains(QLatin1Char('/')) ? device : QStringLiteral("/dev/") + device;
        const QString canonical = QFileInfo(path).canonicalFilePath();
        const QString key = canonical.isEmpty() ? path : canonical;
        if (const auto seen = named.constFind(key); seen != named.constEnd()) {
            line.UsageError(*seen == device
                                ? QStringLiteral("--port %1 is given twice").arg(device)
                                : QStringLiteral("--port %1 and --port %2 name the same device").arg(*seen, device));
            return std::nullopt;
        }
        named.insert(key, device);
    }
    return ports;
}
