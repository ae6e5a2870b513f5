#pragma once

#include "ProfileCodec.h"

#include <QByteArray>

// The download's steps: "W", the first half, the second half, the end. The current step is also
// the wait before it runs: 500, 3000, 8400 and 8000 ms. Whoever owns the clock calls StepDue
// when that wait is over.
class DownloadExchange
{
public:
    enum class Step { SendCommand, SendFirstHalf, SendSecondHalf, End, Idle };
    static constexpr int kCommandWait = 500;
    static constexpr int kFirstHalfWait = 3000;
    static constexpr int kSecondHalfWait = 8400;
    static constexpr int kEndWait = 8000;
    static constexpr int kProgressPeriod = 270;
    static constexpr int kProgressEnd = 60;
    static constexpr int kProgressWhiteFrom = 31;
    static inline const QByteArray kCommand = QByteArrayLiteral("W");
    static inline const QString kCableWarning = QStringLiteral("                        WARNING:\n DO NOT REMOVE COMMUNICATION CABLE");

    void Start();
    bool Running() const { return downloadStep != 0; }
    // The wait before the next step, in ms (0 when idle).
    int DownloadStep() const { return downloadStep; }
    // Which step is due now; the exchange moves on to the next.
    Step StepDue();
    // Bytes a step writes.
    static QByteArray BytesOf(Step step, const ProfileImage &image);

    // One tick of the progress bar: the position to show; white text from the middle on.
    int ProgressTick(bool &whiteText);
    void Finish() { downloadStep = 0; }

private:
    int downloadStep = 0;
    int progressCount = 0;
};
