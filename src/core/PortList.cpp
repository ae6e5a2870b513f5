// Listing serial ports and registered simulators; port names and typed paths.
#include "PortList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
bool ProcessAlive(qint64 pid)
{
#ifdef Q_OS_UNIX
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#else
    return pid > 0;
#endif
}

QString OwnEntryName()
{
    return QStringLiteral("sim-%1").arg(QCoreApplication::applicationPid());
}
} // namespace

QString SimulatorRegistryFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + QStringLiteral("/orvex-sim");
}

void RegisterSimulator(const QString &device)
{
    QDir().mkpath(SimulatorRegistryFolder());
    const QString link = SimulatorRegistryFolder() + QLatin1Char('/') + OwnEntryName();
    QFile::remove(link);
    QFile::link(device, link);
}

void UnregisterSimulator()
{
    QFile::remove(SimulatorRegistryFolder() + QLatin1Char('/') + OwnEntryName());
}

std::vector<PortEntry> ListPorts()
{
    std::vector<PortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString description = info.description().isEmpty() ? QStringLiteral("Serial port") : info.description();
        ports.push_back({info.systemLocation(), description});
    }
    const QDir registry(SimulatorRegistryFolder());
    for (const QFileInfo &entry : registry.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const qint64 pid = entry.fileName().mid(4).toLongLong();
        const QString target = entry.symLinkTarget();
        // A simulator that died without cleaning up leaves a link to nothing, or to a reused terminal.
        if (!entry.fileName().startsWith(QStringLiteral("sim-")) || !ProcessAlive(pid) || target.isEmpty() ||
            !QFileInfo::exists(target)) {
            QFile::remove(entry.absoluteFilePath());
            continue;
        }
        ports.push_back({target, kSimulatorDescription});
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortEntry &a, const PortEntry &b) { return a.DisplayName() < b.DisplayName(); });
    return ports;
}

std::optional<int> ParsePortNumber(const QString &text)
{
    const qsizetype com = text.lastIndexOf(QStringLiteral("(COM"));
    if (com < 0 || !text.endsWith(QLatin1Char(')')))
        return std::nullopt;
    const QString digits = text.mid(com + 4, text.size() - com - 5);
    // ASCII digits only: other scripts' digits are digits to Unicode, but no port number.
    const auto notAscii = [](QChar c) { return c < QLatin1Char('0') || c > QLatin1Char('9'); };
    if (digits.isEmpty() || digits.size() > 3 || std::any_of(digits.begin(), digits.end(), notAscii))
        return std::nullopt;
    if (digits.size() < 3 && digits[0] == QLatin1Char('0'))
        return std::nullopt;
    const int number = digits.toInt();
    if (number == 0)
        return std::nullopt; // "000": there is no port 0 (found by fuzzing)
    return number;
}

std::optional<QString> DeviceOfEntry(const QString &text, const std::vector<PortEntry> &ports)
{
    const QString trimmed = text.trimmed();
    if (trimmed.contains(QChar(0)))
        return std::nullopt; // no device path holds a zero character
    for (const PortEntry &port : ports) {
        if (port.DisplayName() == trimmed || port.device == trimmed)
            return port.device;
    }
#ifdef Q_OS_WIN
    if (const auto number = ParsePortNumber(trimmed))
        return QStringLiteral("COM%1").arg(*number);
#endif
        // A typed path to a device that exists, for ports the list does not know: a character device, as
        // every serial line is (a FIFO or a plain file is none).
#ifdef Q_OS_UNIX
    struct stat info
    {
    };
    if (trimmed.startsWith(QLatin1Char('/')) && ::stat(QFile::encodeName(trimmed).constData(), &info) == 0 &&
        S_ISCHR(info.st_mode))
        return trimmed;
#endif
    return std::nullopt;
}

QString StablePortName(const QString &device, const QString &byIdFolder)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return device;
    const QDir folder(byIdFolder);
    for (const QFileInfo &link : folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
    return device;
}

bool SamePort(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (a == b)
        return true;
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}
