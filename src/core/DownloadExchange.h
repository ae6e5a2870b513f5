// The download's step sequence and the controller's reply to it, for whoever owns the clock.
#pragma once

#include "ProfileCodec.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// What the poll does with the bytes it reads: monitor frames while finished, nothing while the
// image goes out, the controller's reply pieces after it.
enum class ExchangeStage { Finish, Start, AlmostThere };

// The download's steps: "W", the first half, the second half, the end. The current step is also
// the wait before it runs: 500, 3000, 8400 and 8000 ms. Whoever owns the clock calls StepDue
// when that wait is over, and hands it every read while the reply is due.
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
    static constexpr int kReplyPieces = 6;
    static inline const QByteArray kCommand = QByteArrayLiteral("W");

    void Start();
    bool Running() const { return downloadStep != 0; }
    ExchangeStage Stage() const { return stage; }
    // The wait before the next step, in ms (0 when idle).
    int DownloadStep() const { return downloadStep; }
    // Which step is due now; the exchange moves on to the next. After the second half the reply is
    // due; at the end the stage is finished again.
    Step StepDue();
    // Bytes a step writes.
    static QByteArray BytesOf(Step step, const ProfileImage &image);
    // Stops wherever it is.
    void Finish();

    // A read of the poll while the reply is due. Monitor frames are no part of it: a read that held
    // only frames is no piece. The sixth piece completes the reply (pieces 3 to 6, without the
    // controller's menu line); what comes after it is not taken.
    std::optional<QString> TakeReplyPiece(const QString &piece);
    int ReplyPieceCount() const { return replyChunkCount; }
    bool ReplyComplete() const { return replyChunkCount == kReplyPieces; }
    // What of the reply has come since the start, shown the same way.
    QString ReplySoFar() const;

    // One tick of the progress bar: the position to show; white text from the middle on.
    int ProgressTick(bool &whiteText);

private:
    int downloadStep = 0;
    int progressCount = 0;
    ExchangeStage stage = ExchangeStage::Finish;
    std::array<QString, kReplyPieces> replyChunks;
    int replyChunkCount = 0;
    QString unfinishedFrame; // a read ended inside what may be a frame
};
