// The download's steps, progress and reply collection.
#include "DownloadExchange.h"

#include "LinkLog.h"
#include "LinkText.h"

void DownloadExchange::Start()
{
    downloadStep = kCommandWait;
    progressCount = 0;
    stage = ExchangeStage::Start;
    replyChunkCount = 0;
    replyChunks.fill(QString());
    unfinishedFrame.clear();
}

DownloadExchange::Step DownloadExchange::StepDue()
{
    switch (downloadStep) {
    case kCommandWait: downloadStep = kFirstHalfWait; return Step::SendCommand;
    case kFirstHalfWait: downloadStep = kSecondHalfWait; return Step::SendFirstHalf;
    case kSecondHalfWait:
        downloadStep = kEndWait;
        stage = ExchangeStage::AlmostThere;
        return Step::SendSecondHalf;
    case kEndWait: Finish(); return Step::End;
    default: return Step::Idle;
    }
}

void DownloadExchange::Finish()
{
    downloadStep = 0;
    stage = ExchangeStage::Finish;
}

QByteArray DownloadExchange::BytesOf(Step step, const ProfileImage &image)
{
    const char *bytes = reinterpret_cast<const char *>(image.data());
    switch (step) {
    case Step::SendCommand: return kCommand;
    case Step::SendFirstHalf: return QByteArray(bytes, kProfileImageSize / 2);
    case Step::SendSecondHalf: return QByteArray(bytes + kProfileImageSize / 2, kProfileImageSize / 2);
    default: return {};
    }
}

std::optional<QString> DownloadExchange::TakeReplyPiece(const QString &piece)
{
    if (stage != ExchangeStage::AlmostThere || ReplyComplete())
        return std::nullopt;
    const QString text = WithoutMonitorFrames(unfinishedFrame + piece, unfinishedFrame);
    if (text.isEmpty()) {
        qCDebug(lcExchange).noquote() << TraceTime() << "read left out of the reply (monitor frames):" << piece;
        return std::nullopt;
    }
    replyChunks[static_cast<std::size_t>(replyChunkCount)] = text;
    ++replyChunkCount;
    qCDebug(lcExchange).noquote() << TraceTime()
                                  << QStringLiteral("reply piece %1 of %2:").arg(replyChunkCount).arg(kReplyPieces)
                                  << text;
    if (!ReplyComplete())
        return std::nullopt;
    return JoinReplyPieces(replyChunks);
}

QString DownloadExchange::ReplySoFar() const
{
    return JoinReplyPieces(replyChunks);
}

int DownloadExchange::ProgressTick(bool &whiteText)
{
    const int position = progressCount;
    ++progressCount;
    whiteText = progressCount >= kProgressWhiteFrom;
    if (progressCount > kProgressEnd)
        progressCount = kProgressEnd;
    return position;
}
