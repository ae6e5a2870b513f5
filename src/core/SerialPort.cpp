// The serial port on QSerialPort: open, read, write, purge, flush, close, a lost device.
#include "SerialPort.h"

#include "LinkLog.h"
#include "SerialException.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString PermissionAdvice(const QString &device, const QString &group, bool groupMayReadWrite)
{
    const QString refusal = QStringLiteral("Permission denied: you may not open %1.\n").arg(device);
    // Joining root's group, or a group the device shuts out, would be risky or useless.
    if (groupMayReadWrite && !group.isEmpty() && group != QStringLiteral("root"))
        return refusal + QStringLiteral("Add your user to the group '%1' that owns it (sudo usermod -aG %1 $USER), "
                                        "then log out and in again.")
                             .arg(group);
    return refusal + QStringLiteral("Its group may not use it, so joining a group would not help. Give serial "
                                    "adapters to the group dialout with a udev rule (see \"Permissions\" in the "
                                    "README; an example rule comes with the program), join that group, log out "
                                    "and in again, and plug the adapter in again.");
}

QString PermissionRefusalText(const QString &device)
{
#ifdef Q_OS_UNIX
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(device).constData(), &info) == 0) {
        const struct group *owner = ::getgrgid(info.st_gid);
        const bool groupMayReadWrite = (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP);
        return PermissionAdvice(device, owner ? QString::fromLocal8Bit(owner->gr_name) : QString(), groupMayReadWrite);
    }
    return PermissionAdvice(device, QString(), false);
#else
    return QStringLiteral("Access is denied: %1.").arg(device);
#endif
}

namespace {
void TraceBytes(const QString &device, const char *direction, const QByteArray &bytes)
{
    for (const QString &line : TraceLines(device, direction, bytes))
        qCDebug(lcSerial).noquote() << line;
}

// A FIFO, a regular file or a directory is no serial line; opening a FIFO would even wait for a
// writer forever.
bool NotASerialDevice(const QString &device)
{
#ifdef Q_OS_UNIX
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(device).constData(), &info) == 0 && !S_ISCHR(info.st_mode);
#else
    Q_UNUSED(device);
    return false;
#endif
}

QString PurgeNames(int flags)
{
    QStringList names;
    const std::pair<int, const char *> known[] = {{CSerialPort::PurgeTxAbort, "tx-abort"},
                                                  {CSerialPort::PurgeRxAbort, "rx-abort"},
                                                  {CSerialPort::PurgeTxClear, "tx-clear"},
                                                  {CSerialPort::PurgeRxClear, "rx-clear"}};
    for (const auto &[flag, name] : known) {
        if (flags & flag)
            names << QLatin1String(name);
    }
    return names.join(QLatin1Char('+'));
}

bool Accessible(const QString &device)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
#else
    Q_UNUSED(device);
    return true;
#endif
}
} // namespace

CSerialPort::CSerialPort(QObject *parent) : QObject(parent)
{
    connect(&port, &QSerialPort::errorOccurred, this, &CSerialPort::OnError);
    connect(&port, &QSerialPort::readyRead, this, &CSerialPort::readyRead);
}

void CSerialPort::OnError(QSerialPort::SerialPortError error)
{
    // A hung-up line reads as a resource error or as a failed read, and stays readable forever:
    // let go of the device at once so nothing spins on it, and tell the window.
    if (lost || !port.isOpen() || (error != QSerialPort::ResourceError && error != QSerialPort::ReadError))
        return;
    lost = true;
    qCDebug(lcSerial).noquote() << TraceTime() << traceName << "lost:" << port.errorString();
    port.close();
    emit deviceLost();
}

CSerialPort::~CSerialPort()
{
    if (port.isOpen())
        port.close();
}

void CSerialPort::Raise(const QString &operation)
{
    const QSerialPort::SerialPortError error = port.error();
    throw CSerialException(static_cast<int>(error), QStringLiteral("%1: %2").arg(operation, port.errorString()));
}

void CSerialPort::Open(const QString &device, int baudRate)
{
    lost = false;
    if (NotASerialDevice(device)) {
        emit connectionChanged(false);
        throw CSerialException(2, QStringLiteral("%1 is not a serial port.").arg(device));
    }
    port.setPortName(device);
    traceName = device;
    if (!port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port.error();
        emit connectionChanged(false);
        if (error == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(device))
            throw CSerialException(2, QStringLiteral("The system cannot find the port %1.").arg(device));
        if (error == QSerialPort::PermissionError && !Accessible(device))
            throw CSerialException(5, PermissionRefusalText(device));
        if (error == QSerialPort::PermissionError)
            throw CSerialException(32, QStringLiteral("The port %1 is in use by another program.").arg(device));
        throw CSerialException(static_cast<int>(error), QStringLiteral("%1: %2").arg(device, port.errorString()));
    }
    emit connectionChanged(true);
    qCDebug(lcSerial).noquote() << TraceTime() << device << "open," << baudRate << "baud 8N1";
    const bool configured = port.setBaudRate(baudRate) && port.setDataBits(QSerialPort::Data8) &&
                            port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
                            port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured)
        Raise(QStringLiteral("Setting up %1").arg(device));
}

void CSerialPort::Close()
{
    if (!port.isOpen() && !lost)
        return;
    if (port.isOpen())
        port.close();
    qCDebug(lcSerial).noquote() << TraceTime() << traceName << "closed";
    lost = false;
    emit connectionChanged(false);
}

QByteArray CSerialPort::Read(int capacity)
{
    if (lost)
        throw CSerialException(1167, QStringLiteral("The device is not connected."));
    if (!port.isOpen())
        throw CSerialException(6, QStringLiteral("The port is not open."));
    port.waitForReadyRead(0); // takes in what the device holds, without waiting
    const QByteArray bytes = port.read(capacity);
    if (port.error() == QSerialPort::ResourceError || port.error() == QSerialPort::ReadError)
        Raise(QStringLiteral("Reading"));
    if (!bytes.isEmpty() && lcSerial().isDebugEnabled())
        TraceBytes(traceName, "RX", bytes);
    return bytes;
}

void CSerialPort::Write(const QByteArray &bytes)
{
    if (lost)
        throw CSerialException(1167, QStringLiteral("The device is not connected."));
    if (!port.isOpen())
        throw CSerialException(6, QStringLiteral("The port is not open."));
    if (lcSerial().isDebugEnabled())
        TraceBytes(traceName, "TX", bytes);
    if (port.write(bytes) != bytes.size())
        Raise(QStringLiteral("Writing"));
    while (port.bytesToWrite() > 0) {
        if (!port.waitForBytesWritten(kWriteTimeoutMs))
            Raise(QStringLiteral("Writing"));
    }
}

void CSerialPort::Purge(int flags)
{
    if (!port.isOpen())
        return;
    QSerialPort::Directions directions;
    if (flags & (PurgeRxAbort | PurgeRxClear))
        directions |= QSerialPort::Input;
    if (flags & (PurgeTxAbort | PurgeTxClear))
        directions |= QSerialPort::Output;
    qCDebug(lcSerial).noquote() << TraceTime() << traceName << "purge" << PurgeNames(flags);
    if (directions && !port.clear(directions))
        Raise(QStringLiteral("Purging"));
}

void CSerialPort::Flush()
{
    if (!port.isOpen())
        return;
    port.flush();
    if (port.error() == QSerialPort::WriteError || port.error() == QSerialPort::ResourceError)
        Raise(QStringLiteral("Flushing"));
}
