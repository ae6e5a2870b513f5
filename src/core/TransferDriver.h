// The download and the upload on timers of the event loop, for the window and orvexctl alike.
#pragma once

#include "DownloadExchange.h"
#include "ProfileCodec.h"
#include "UploadExchange.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class CSerialPort;

// A download that ran to its end, confirmed by the controller or not.
struct DownloadEnd
{
    std::optional<QString> reply; // the controller's reply, when all six pieces came
    int replyPieces = 0;
    QString replySoFar;
};

// Runs one transfer at a time on a port it does not own: the same bytes, waits, purges and reply
// wherever it runs. Nothing waits inside a call: every wait is a timer, so a window stays alive and
// many ports run side by side on one loop.
class CTransferDriver : public QObject
{
    Q_OBJECT
public:
    enum class Job { None, Download, Upload };
    // The window's own upload holds the bar through the controller's quiet time after the answer;
    // a read-back ends with the answer.
    enum class UploadEnd { WithAnswer, HoldingTheBar };

    explicit CTransferDriver(CSerialPort &port, QObject *parent = nullptr);

    // "W", the first half and the second half of the image, then 8000 ms for the reply: the step
    // timer's period is the wait before each step (500, 3000, 8400, 8000 ms); the progress timer
    // ticks every 270 ms.
    void StartDownload(const ProfileImage &image);
    // "S", purges, "X" and the first half, "X" and the second half, 2000 ms apart; the first step
    // on the next turn of the loop.
    void StartUpload(UploadEnd end = UploadEnd::WithAnswer);
    // Stops whatever runs; only jobEnded is said: the caller knows why.
    void Stop();

    Job Running() const { return job; }
    bool Busy() const { return job != Job::None; }
    // What a poll of the line does with what it reads: frames while finished, nothing while the
    // image goes out, the reply after it.
    ExchangeStage Stage() const { return download.Stage(); }

    // Where nobody else polls the line (orvexctl), the driver reads the reply itself, as the
    // window's poll does.
    void ReadReplyItself(bool on) { ownPoll = on; }
    // A poll's read while a download runs: dropped while the image goes out, a reply piece after.
    void TakeRead(const QByteArray &bytes);

    // The timers' ticks, which tests call directly, and the timers themselves to look at.
    void OnStepTimer();
    void OnProgressTimer();
    const QTimer &StepTimer() const { return stepTimer; }
    const QTimer &ProgressTimer() const { return progressTimer; }
    // Tests shorten the upload's waits: the hook runs instead of each, and the next step follows on
    // the next turn of the loop.
    void SetWait(std::function<void(int ms)> hook) { waitHook = std::move(hook); }

signals:
    // A tick of the download's step or progress timer, before it does its work.
    void downloadTick();
    // A step's bytes went out.
    void stepSent(DownloadExchange::Step step);
    // The bar's position, 0 to 60, and whether its text is white.
    void progress(int position, bool whiteText);
    void replyArrived(const QString &reply);
    void downloadEnded(const DownloadEnd &end);
    // The controller's answer to an upload; while the window's upload holds the bar, uploadEnded
    // follows later.
    void uploadAnswered(const UploadResult &result);
    void uploadEnded(const UploadResult &result);
    // A serial call failed: the job stopped there.
    void failed(CTransferDriver::Job job, const QString &why);
    // The job is over, however it ended; said before the signal that tells how.
    void jobEnded(CTransferDriver::Job job);

private:
    void DownloadStep();
    void UploadStep();
    void EndDownload();
    void EndUpload();
    void ReadReply();
    void Wait(int ms);
    // Ends the job; true when it was still running.
    bool Halt(Job ending);
    void Fail(const QString &why);

    CSerialPort &port;
    Job job = Job::None;
    DownloadExchange download;
    ProfileImage image{};
    UploadExchange upload;
    UploadEnd uploadEnd = UploadEnd::WithAnswer;
    std::optional<UploadResult> answer;
    bool barHeldAtEnd = false;
    QTimer stepTimer;
    QTimer progressTimer;
    QTimer replyPoll;
    bool ownPoll = false;
    std::function<void(int ms)> waitHook;
};
