// Frames from a byte stream, and a port that hands them on as they come.
#include "FrameReader.h"

#include "Interrupts.h"
#include "LinkText.h"
#include "SerialException.h"

namespace {
constexpr qsizetype kLongestFrame = 128; // "<ADCT)142/ PWM: 76/ Alarm: 0>" and room to spare
}

std::vector<FrameSplitter::Frame> FrameSplitter::Feed(const QByteArray &bytes)
{
    std::vector<Frame> frames;
    pending.append(bytes);
    qsizetype end = 0;
    while ((end = pending.indexOf('>')) >= 0) {
        const QByteArray candidate = pending.left(end + 1);
        pending.remove(0, end + 1);
        const qsizetype start = candidate.lastIndexOf('<');
        Frame frame;
        if (start >= 0) {
            const QString text = LineText(candidate.mid(start));
            if (IsMonitorFrame(text))
                frame.reading = ParseMonitorFrame(text);
        }
        frames.push_back(frame);
    }
    if (pending.size() > kLongestFrame) {
        pending.clear();
        frames.push_back(Frame{});
    }
    return frames;
}

FrameReader::FrameReader(const QString &device, QObject *parent) : QObject(parent), device(device)
{
    connect(&port, &CSerialPort::readyRead, this, &FrameReader::OnReadyRead);
    connect(&port, &CSerialPort::deviceLost, this, [this] {
        port.Close();
        emit lost(QStringLiteral("Communication Cable Removed"));
    });
}

QString FrameReader::Open()
{
    try {
        Interrupts::Blocking blocking; // a hung device may never return from open()
        // What waits in the line is kept: a replaying simulator holds its first reading there for
        // its first reader, and a real port has nothing before it is opened.
        port.Open(device, 9600);
    } catch (const CSerialException &error) {
        port.Close();
        return error.Text();
    }
    splitter = FrameSplitter();
    return {};
}

void FrameReader::Close()
{
    port.Close();
}

void FrameReader::OnReadyRead()
{
    QByteArray bytes;
    try {
        while (port.IsOpen()) {
            const QByteArray more = port.Read(4096);
            if (more.isEmpty())
                break;
            bytes.append(more);
        }
    } catch (const CSerialException &error) {
        port.Close();
        emit lost(error.Text());
        return;
    }
    for (const FrameSplitter::Frame &frame : splitter.Feed(bytes)) {
        if (frame.reading)
            emit reading(*frame.reading);
        else
            emit badFrame();
    }
}
