// The simulated controller on a pseudo-terminal that the tool opens like a serial port.
#pragma once

#include "ControllerModel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

// The controller model behind a pseudo-terminal: the tool opens DevicePath() like a serial port.
class PtyController : public QObject
{
    Q_OBJECT
public:
    explicit PtyController(QObject *parent = nullptr);
    ~PtyController() override;

    bool Start(); // false when no pseudo-terminal could be made
    QString DevicePath() const { return devicePath; }
    ControllerModel &Model() { return model; }
    // The cable pulled: the tool's end of the line goes dead.
    void HangUp();
    bool IsHungUp() const { return masterFd < 0; }
    // Everything received from the tool so far.
    const QByteArray &Received() const { return received; }
    // Moves the controller's clock on, so tests need not wait for its replies.
    void AdvanceClock(qint64 ms)
    {
        clockOffset += ms;
        Pump();
    }
    qint64 Now() const { return clock.elapsed() + clockOffset; }

private:
    void OnReadable();
    void Pump();

    ControllerModel model;
    int masterFd = -1;
    int slaveHoldFd = -1; // keeps the line up while the tool has it closed
    QString devicePath;
    QSocketNotifier *notifier = nullptr;
    QTimer pump;
    QElapsedTimer clock;
    qint64 clockOffset = 0;
    QByteArray received;
};
