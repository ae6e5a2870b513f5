// The transfers' steps on timers: bytes, waits, purges and the controller's reply.
#include "TransferDriver.h"

#include "LinkLog.h"
#include "LinkText.h"
#include "SerialException.h"
#include "SerialPort.h"

namespace {
const char *StepName(DownloadExchange::Step step)
{
    switch (step) {
    case DownloadExchange::Step::SendCommand: return "\"W\"";
    case DownloadExchange::Step::SendFirstHalf: return "bytes 0 to 159";
    case DownloadExchange::Step::SendSecondHalf: return "bytes 160 to 319";
    default: return "nothing";
    }
}
} // namespace

CTransferDriver::CTransferDriver(CSerialPort &port, QObject *parent) : QObject(parent), port(port)
{
    // The controller's waits are long and exact: a coarse timer may fire early.
    stepTimer.setTimerType(Qt::PreciseTimer);
    stepTimer.setSingleShot(true);
    connect(&stepTimer, &QTimer::timeout, this, &CTransferDriver::OnStepTimer);
    connect(&progressTimer, &QTimer::timeout, this, &CTransferDriver::OnProgressTimer);
    connect(&replyPoll, &QTimer::timeout, this, &CTransferDriver::ReadReply);
}

void CTransferDriver::StartDownload(const ProfileImage &sent)
{
    Stop();
    job = Job::Download;
    image = sent;
    download.Start();
    qCDebug(lcExchange).noquote() << TraceTime() << "download: \"W\" in" << download.DownloadStep() << "ms";
    stepTimer.start(download.DownloadStep());
    progressTimer.start(DownloadExchange::kProgressPeriod);
    if (ownPoll)
        replyPoll.start(LinkPoll::kPeriod);
}

void CTransferDriver::StartUpload(UploadEnd end)
{
    Stop();
    job = Job::Upload;
    upload = UploadExchange();
    uploadEnd = end;
    answer.reset();
    barHeldAtEnd = false;
    qCDebug(lcExchange).noquote() << TraceTime() << "upload: \"S\"";
    stepTimer.start(0);
}

bool CTransferDriver::Halt(Job ending)
{
    if (job != ending || job == Job::None)
        return false;
    job = Job::None;
    stepTimer.stop();
    progressTimer.stop();
    replyPoll.stop();
    download.Finish();
    emit jobEnded(ending);
    return true;
}

void CTransferDriver::Stop()
{
    if (job != Job::None)
        qCDebug(lcExchange).noquote() << TraceTime() << "transfer stopped";
    Halt(job);
}

void CTransferDriver::Fail(const QString &why)
{
    const Job was = job;
    qCDebug(lcExchange).noquote() << TraceTime() << "transfer failed:" << why;
    if (Halt(was))
        emit failed(was, why);
}

void CTransferDriver::OnStepTimer()
{
    if (job == Job::Download)
        DownloadStep();
    else if (job == Job::Upload)
        UploadStep();
}

void CTransferDriver::DownloadStep()
{
    emit downloadTick();
    if (job != Job::Download)
        return;
    const DownloadExchange::Step step = download.StepDue();
    if (step == DownloadExchange::Step::End || step == DownloadExchange::Step::Idle) {
        EndDownload();
        return;
    }
    stepTimer.stop();
    try {
        port.Write(DownloadExchange::BytesOf(step, image));
    } catch (const CSerialException &error) {
        Fail(error.Text());
        return;
    }
    qCDebug(lcExchange).noquote() << TraceTime() << "download: sent" << StepName(step) << "; next step in"
                                  << download.DownloadStep() << "ms";
    emit stepSent(step);
    if (job == Job::Download)
        stepTimer.start(download.DownloadStep());
}

void CTransferDriver::EndDownload()
{
    DownloadEnd end;
    end.replyPieces = download.ReplyPieceCount();
    end.replySoFar = download.ReplySoFar();
    if (download.ReplyComplete())
        end.reply = end.replySoFar;
    qCDebug(lcExchange).noquote() << TraceTime() << "download: ended," << end.replyPieces << "of"
                                  << DownloadExchange::kReplyPieces << "reply pieces";
    if (Halt(Job::Download))
        emit downloadEnded(end);
}

void CTransferDriver::OnProgressTimer()
{
    if (job != Job::Download)
        return;
    emit downloadTick();
    bool white = false;
    const int position = download.ProgressTick(white);
    emit progress(position, white);
}

void CTransferDriver::ReadReply()
{
    if (job != Job::Download || download.Stage() == ExchangeStage::Start)
        return; // nothing to read while the image goes out
    QByteArray bytes;
    try {
        bytes = port.Read(LinkPoll::kReadCapacity);
    } catch (const CSerialException &error) {
        Fail(error.Text());
        return;
    }
    if (!bytes.isEmpty())
        TakeRead(bytes);
}

void CTransferDriver::TakeRead(const QByteArray &bytes)
{
    if (job != Job::Download)
        return;
    if (const std::optional<QString> reply = download.TakeReplyPiece(LineText(bytes)))
        emit replyArrived(*reply);
}

void CTransferDriver::Wait(int ms)
{
    qCDebug(lcExchange).noquote() << TraceTime() << "waiting" << ms << "ms";
    if (!waitHook) {
        stepTimer.start(ms);
        return;
    }
    waitHook(ms);
    if (job != Job::None)
        stepTimer.start(0);
}

void CTransferDriver::UploadStep()
{
    if (answer) {
        // The window's hold after the answer: a profile fills the bar halfway through it.
        if (answer->outcome == UploadResult::Profile && !barHeldAtEnd) {
            barHeldAtEnd = true;
            emit progress(UploadExchange::kProgressEnd, true);
            if (job == Job::Upload)
                Wait(kUploadWait);
            return;
        }
        EndUpload();
        return;
    }
    std::optional<int> wait;
    try {
        wait = upload.Advance(port, [this](int position, bool white) { emit progress(position, white); });
    } catch (const CSerialException &error) {
        Fail(error.Text());
        return;
    }
    if (job != Job::Upload)
        return;
    if (wait) {
        Wait(*wait);
        return;
    }
    answer = upload.Result();
    if (uploadEnd == UploadEnd::WithAnswer || answer->outcome == UploadResult::ShortAnswer) {
        EndUpload();
        return;
    }
    emit uploadAnswered(*answer);
    if (job == Job::Upload)
        Wait(kUploadWait);
}

void CTransferDriver::EndUpload()
{
    const UploadResult result = *answer;
    if (Halt(Job::Upload))
        emit uploadEnded(result);
}
