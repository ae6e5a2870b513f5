// The one serial line to the controller.
#pragma once

#include <QObject>
#include <QSerialPort>

// The refusal for a device the user may not open, with the fix: join the device's group when that
// group may read and write it (and is not root's), else give it a group with a udev rule.
QString PermissionRefusalText(const QString &device);
QString PermissionAdvice(const QString &device, const QString &group, bool groupMayReadWrite);

// The one serial line to the controller: 8 data bits, no parity, one stop bit, no flow control.
// Every failure throws CSerialException with the platform's text.
class CSerialPort : public QObject
{
    Q_OBJECT
public:
    static constexpr int PurgeTxAbort = 1;
    static constexpr int PurgeRxAbort = 2;
    static constexpr int PurgeTxClear = 4;
    static constexpr int PurgeRxClear = 8;

    explicit CSerialPort(QObject *parent = nullptr);
    ~CSerialPort() override;

    void Open(const QString &device, int baudRate);
    void Close();
    bool IsOpen() const { return port.isOpen(); }
    // The device went away while open; Close still has to be called.
    bool IsLost() const { return lost; }
    QString Device() const { return port.portName(); }

    // Returns at once with what has arrived, at most `capacity` bytes.
    QByteArray Read(int capacity);
    // Complete before it returns.
    void Write(const QByteArray &bytes);
    void Purge(int flags);
    void ClearReceiveBuffer() { Purge(PurgeRxClear); }
    void Flush();

    static constexpr int kWriteTimeoutMs = 5000;

signals:
    // True when the port opens, false when it closes or fails to open: the connect button follows it.
    void connectionChanged(bool connected);
    // The open device went away (cable pulled, the other end hung up).
    void deviceLost();
    // Bytes have arrived: for readers that follow the line rather than poll it.
    void readyRead();

private:
    [[noreturn]] void Raise(const QString &operation);

    void OnError(QSerialPort::SerialPortError error);

    QSerialPort port;
    QString traceName; // the device as given: Qt shortens it
    bool lost = false;
};
