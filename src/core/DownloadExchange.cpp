#include "DownloadExchange.h"

void DownloadExchange::Start()
{
    downloadStep = kCommandWait;
    progressCount = 0;
}

DownloadExchange::Step DownloadExchange::StepDue()
{
    switch (downloadStep) {
    case kCommandWait: downloadStep = kFirstHalfWait; return Step::SendCommand;
    case kFirstHalfWait: downloadStep = kSecondHalfWait; return Step::SendFirstHalf;
    case kSecondHalfWait: downloadStep = kEndWait; return Step::SendSecondHalf;
    case kEndWait: downloadStep = 0; return Step::End;
    default: return Step::Idle;
    }
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

int DownloadExchange::ProgressTick(bool &whiteText)
{
    const int position = progressCount;
    ++progressCount;
    whiteText = progressCount >= kProgressWhiteFrom;
    if (progressCount > kProgressEnd)
        progressCount = kProgressEnd;
    return position;
}
