// The serial ports a user can pick, and the port names the dialog reads.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A serial port the user can pick.
struct PortEntry
{
    QString device;      // what the port opens: a device path, or a COM name on Windows
    QString description; // what it is
    QString DisplayName() const { return QStringLiteral("%1 (%2)").arg(description, device); }
};

// Present serial ports and running simulators, by display name.
std::vector<PortEntry> ListPorts();

// Simulated controllers register their device here while they run.
QString SimulatorRegistryFolder();
inline const QString kSimulatorDescription = QStringLiteral("Orvex simulated controller");
void RegisterSimulator(const QString &device);
void UnregisterSimulator();

// Port number of a "... (COMn)" name: one to three digits; none for any other text.
std::optional<int> ParsePortNumber(const QString &text);

// The port a display name or a typed path stands for; none when it names nothing.
std::optional<QString> DeviceOfEntry(const QString &text, const std::vector<PortEntry> &ports);

// A name for a port that survives a replug: its /dev/serial/by-id link where there is one (a USB
// adapter keeps its serial number, not its ttyUSB number), else the device itself.
QString StablePortName(const QString &device, const QString &byIdFolder = QStringLiteral("/dev/serial/by-id"));
// Whether two names lead to the same device (a by-id link and its ttyUSB device do).
bool SamePort(const QString &a, const QString &b);

// What the COM Setting dialog returns.
struct ComSettings
{
    QString device;
    int portNumber = 1;
    int baudRate = 9600;
};
