// A model of the controller's side of the serial protocol.
#pragma once

#include "MonitorCsv.h"
#include "ProfileCodec.h"
#include "ReplayRecording.h"

#include <QByteArray>

#include <deque>
#include <optional>

// The controller's side of the protocol, on a clock the caller advances: bytes from the tool go
// in, and the bytes the controller sends by a given time come out.
class ControllerModel
{
public:
    struct Faults
    {
        bool silent = false;           // sends nothing at all
        bool garbage = false;          // frames replaced by noise
        bool shortAnswers = false;     // upload halves cut short
        int trickleBytesPerSecond = 0; // 0: every answer at once; else paced like a slow line
        int floodFramesPerSecond = 0;  // 0: one frame a second
        bool storeDifferent = false;   // keeps another image than it received: its version and a curve byte changed
        bool noReply = false;          // stores a download but answers it with monitor frames only
    };

    static constexpr int kFramePeriodMs = 1000;
    static constexpr int kReplyPeriodMs = 1000;
    static constexpr int kShortAnswer = 100;
    // A transfer that stops half-way is given up after this long without a byte, as the controller's
    // own firmware would: it goes back to sending frames. Well above the tool's 2 s between "S" and
    // "X" and the 1 s after a "no profile" answer, so that a tool held up on a busy machine is still
    // answered.
    static constexpr int kUploadIdleMs = 10000;
    static constexpr int kReceiveIdleMs = 10000;
    static inline const QByteArray kReplyPieces[6] = {
        QByteArray("\r\nProfile received\r\n"),  QByteArray("320 bytes stored\r\n"),
        QByteArray("Configuration saved. "),     QByteArray("x - Test Mode, w - Configuration Mode\r\n"),
        QByteArray("Controller restarting\r\n"), QByteArray("Test Mode active"),
    };

    void Receive(const QByteArray &bytes, qint64 nowMs);
    // lineDrained: everything sent so far has been read (or purged) by a tool on the line.
    QByteArray Poll(qint64 nowMs, bool lineDrained = true);

    // Plays a recording back instead of the model's own frames, `speed` times faster than
    // recorded; silent once it is over. Its clock starts when a tool first takes a frame and
    // stands still while a transfer keeps the line quiet, so no reading is played to nobody.
    void SetReplay(ReplayRecording recording, double speed, qint64 nowMs);
    void SetReplay(const std::vector<MonitorCsvRecord> &records, double speed, qint64 nowMs);
    bool ReplayOver() const { return replaying && nextReplay >= replay.Size(); }
    // A replay whose first frame no tool has taken yet.
    bool AwaitingReader() const { return replaying && !replayHeard; }

    void SetInput(int adc) { input = adc; }
    void SetAlarm(int code) { alarm = code; }
    void SetFaults(const Faults &f) { faults = f; }
    void LoadProfile(const ProfileImage &image) { stored = image; }
    const std::optional<ProfileImage> &Stored() const { return stored; }

    // The fan output the stored curve table gives for the current input.
    int PwmOutput() const;
    bool VoltageInput() const;
    QByteArray MonitorFrame() const;

private:
    enum class Mode { Test, Receiving, Uploading };
    void Queue(qint64 dueMs, const QByteArray &bytes);
    void Trickle(qint64 nowMs, const QByteArray &bytes);
    void Store(const ProfileImage &image);
    // The frames of a replay now due, in place of the model's own.
    QByteArray ReplayFramesDue();
    void AdvanceReplayClock(qint64 nowMs, bool sending, bool lineDrained);

    Mode mode = Mode::Test;
    QByteArray incoming;
    std::optional<ProfileImage> stored;
    int uploadHalf = 0;
    qint64 lastByteMs = 0;
    int input = 142;
    int alarm = 0;
    Faults faults;
    qint64 nextFrameMs = 0;
    qint64 quietUntilMs = 0;
    std::deque<std::pair<qint64, QByteArray>> pending;
    ReplayRecording replay;
    std::size_t nextReplay = 0;
    bool replaying = false;
    double replaySpeed = 1;
    qint64 replayClockMs = 0;  // recorded time played so far, times the speed
    qint64 replayTickMs = 0;   // when the replay clock was last looked at
    qint64 firstReplayMs = -1; // when the first frame went out
    bool replayHeard = false;  // a tool has taken a frame
    unsigned noise = 12345;
};
