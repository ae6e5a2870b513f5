// The simulated controller's protocol: frames, the stored profile, the download reply, the upload halves.
#include "ControllerModel.h"

#include "MonitorFrame.h"

#include <algorithm>
#include <cmath>

int ControllerModel::PwmOutput() const
{
    if (!stored)
        return 0;
    return (*stored)[static_cast<std::size_t>(std::clamp(input, 0, 255))];
}

bool ControllerModel::VoltageInput() const
{
    return stored && ((*stored)[ImageLayout::kSettingsFlags] & ImageLayout::kFlagVoltage);
}

QByteArray ControllerModel::MonitorFrame() const
{
    return FormatMonitorFrame(VoltageInput() ? MonitorReading::Voltage : MonitorReading::Temperature,
                              std::clamp(input, 0, 255), PwmOutput(), alarm);
}

void ControllerModel::Queue(qint64 dueMs, const QByteArray &bytes)
{
    pending.emplace_back(dueMs, bytes);
}

// A slow line: the bytes leave one after another at the set pace.
void ControllerModel::Trickle(qint64 nowMs, const QByteArray &bytes)
{
    if (faults.trickleBytesPerSecond <= 0) {
        Queue(nowMs, bytes);
        return;
    }
    for (int i = 0; i < bytes.size(); ++i)
        Queue(nowMs + (static_cast<qint64>(i) * 1000) / faults.trickleBytesPerSecond, bytes.mid(i, 1));
}

void ControllerModel::SetReplay(ReplayRecording recording, double speed, qint64 nowMs)
{
    replay = std::move(recording);
    nextReplay = 0;
    replaying = true;
    replaySpeed = std::isfinite(speed) && speed > 0 ? speed : 1;
    replayClockMs = 0;
    replayTickMs = nowMs;
    firstReplayMs = -1;
    replayHeard = false;
}

void ControllerModel::SetReplay(const std::vector<MonitorCsvRecord> &records, double speed, qint64 nowMs)
{
    ReplayRecording recording;
    for (const MonitorCsvRecord &record : records)
        recording.Add(record);
    SetReplay(std::move(recording), speed, nowMs);
}

void ControllerModel::AdvanceReplayClock(qint64 nowMs, bool sending, bool lineDrained)
{
    // The kernel may not have queued a frame written this instant; give it a moment before an
    // empty line counts as read.
    constexpr qint64 kSettleMs = 100;
    if (replayHeard && sending)
        replayClockMs += nowMs - replayTickMs;
    else if (!replayHeard && firstReplayMs >= 0 && lineDrained && nowMs - firstReplayMs >= kSettleMs)
        replayHeard = true; // the recording's first frame was taken: its clock starts now
    replayTickMs = nowMs;
}

QByteArray ControllerModel::ReplayFramesDue()
{
    // More than the line takes at once would only be dropped, after making a copy of the whole
    // recording at a huge speed.
    constexpr int kMostFramesAtOnce = 100;
    QByteArray frames;
    for (int taken = 0; taken < kMostFramesAtOnce && nextReplay < replay.Size(); ++taken) {
        // Paced by the wall-clock column, to the millisecond. Compared as doubles: at a tiny speed
        // the offset is beyond any integer.
        const double offset = std::floor(static_cast<double>(replay[nextReplay].offsetMs) / replaySpeed);
        if (offset > static_cast<double>(replayClockMs))
            break;
        frames += ReplayRecording::FrameOf(replay[nextReplay++]);
    }
    return frames;
}

void ControllerModel::Store(const ProfileImage &image)
{
    stored = image;
    if (faults.storeDifferent) {
        (*stored)[ImageLayout::kVersionNumber] += 1;
        (*stored)[150] ^= 0x40;
    }
}

void ControllerModel::Receive(const QByteArray &bytes, qint64 nowMs)
{
    if (!bytes.isEmpty())
        lastByteMs = nowMs;
    for (char byte : bytes) {
        if (mode == Mode::Receiving) {
            incoming.append(byte);
            if (incoming.size() == kProfileImageSize) {
                ProfileImage image{};
                std::copy(incoming.begin(), incoming.end(), image.begin());
                Store(image);
                incoming.clear();
                mode = Mode::Test;
                // Six pieces about a second apart; no monitor frames until they are out.
                for (int i = 0; i < 6; ++i)
                    Queue(nowMs + (i + 1) * kReplyPeriodMs - 500, kReplyPieces[i]);
                quietUntilMs = nowMs + 7 * kReplyPeriodMs;
                nextFrameMs = quietUntilMs;
            }
            continue;
        }
        switch (byte) {
        case 'W':
            mode = Mode::Receiving;
            incoming.clear();
            pending.clear();
            quietUntilMs = nowMs + 60000; // until the image is in
            break;
        case 'S':
            mode = Mode::Uploading;
            uploadHalf = 0;
            pending.clear();
            quietUntilMs = nowMs + 60000;
            break;
        case 'X':
            if (mode == Mode::Uploading) {
                QByteArray half =
                    stored ? QByteArray(reinterpret_cast<const char *>(stored->data()) + uploadHalf * 160, 160)
                           : QByteArray(160, static_cast<char>(0xFF));
                if (faults.shortAnswers)
                    half.truncate(kShortAnswer);
                Trickle(nowMs, half);
                if (++uploadHalf == 2) {
                    mode = Mode::Test;
                    quietUntilMs = nowMs + 2000;
                    nextFrameMs = quietUntilMs;
                }
            }
            break;
        default: break; // anything else is not a command
        }
    }
}

QByteArray ControllerModel::Poll(qint64 nowMs, bool lineDrained)
{
    const qint64 idle = nowMs - lastByteMs;
    if ((mode == Mode::Uploading && idle > kUploadIdleMs) || (mode == Mode::Receiving && idle > kReceiveIdleMs)) {
        mode = Mode::Test;
        incoming.clear();
        quietUntilMs = nextFrameMs = nowMs;
    }
    if (replaying) {
        // A frame comes when it came in the recording, the model's own not at all.
        const bool sending = mode == Mode::Test && nowMs >= quietUntilMs;
        AdvanceReplayClock(nowMs, sending, lineDrained);
        if (sending) {
            Trickle(nowMs, ReplayFramesDue());
            if (firstReplayMs < 0 && nextReplay > 0)
                firstReplayMs = nowMs;
        }
    } else if (mode == Mode::Test && nowMs >= quietUntilMs && nowMs >= nextFrameMs) {
        const int period = faults.floodFramesPerSecond > 0 ? 1000 / faults.floodFramesPerSecond : kFramePeriodMs;
        nextFrameMs = nowMs + std::max(period, 1);
        QByteArray frame = MonitorFrame();
        if (faults.garbage) {
            for (char &c : frame) {
                noise = noise * 1103515245u + 12345u;
                c = static_cast<char>(noise >> 16);
            }
        }
        Trickle(nowMs, frame);
    }
    QByteArray out;
    while (!pending.empty() && pending.front().first <= nowMs) {
        out.append(pending.front().second);
        pending.pop_front();
    }
    if (faults.silent)
        return {};
    return out;
}
