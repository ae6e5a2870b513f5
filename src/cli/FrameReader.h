// Monitor frames as they come off a port, for monitor and the exporter.
#pragma once

#include "MonitorFrame.h"
#include "SerialPort.h"

#include <QByteArray>
#include <QObject>

#include <vector>

// Cuts a byte stream into frames: each ends with ">", starts at the last "<" before it. Bytes
// that never make a frame are dropped once there are more than any frame holds.
class FrameSplitter
{
public:
    struct Frame
    {
        std::optional<MonitorReading> reading; // none for a bad frame
    };
    std::vector<Frame> Feed(const QByteArray &bytes);

private:
    QByteArray pending;
};

class FrameReader : public QObject
{
    Q_OBJECT
public:
    explicit FrameReader(const QString &device, QObject *parent = nullptr);
    // Empty when open, else why not.
    QString Open();
    void Close();
    bool IsOpen() const { return port.IsOpen(); }
    const QString &Device() const { return device; }
signals:
    void reading(const MonitorReading &reading);
    void badFrame();
    void lost(const QString &why);

private:
    void OnReadyRead();
    QString device;
    CSerialPort port;
    FrameSplitter splitter;
};
