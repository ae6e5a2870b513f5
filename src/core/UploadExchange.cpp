// The upload exchange with the controller's fixed waits.
#include "UploadExchange.h"

#include "LinkLog.h"
#include "SerialPort.h"

#include <algorithm>

namespace {
constexpr int kHalf = kProfileImageSize / 2;
constexpr int kNoProfileMarks = 7;
constexpr int kNoProfileWait = 1000;
} // namespace

std::optional<int> UploadExchange::Advance(CSerialPort &port, const Progress &progress)
{
    switch (step) {
    case Step::Start:
        progress(5, false);
        port.Write(QByteArrayLiteral("S"));
        port.Purge(CSerialPort::PurgeRxAbort);
        port.Purge(CSerialPort::PurgeRxClear);
        step = Step::FirstRequest;
        return kUploadWait;
    case Step::FirstRequest:
        progress(15, false);
        port.Purge(CSerialPort::PurgeRxClear);
        port.Write(QByteArrayLiteral("X"));
        step = Step::FirstHalf;
        return kUploadWait;
    case Step::FirstHalf: {
        progress(30, true);
        const QByteArray first = port.Read(kHalf);
        if (first.size() >= kNoProfileMarks && std::all_of(first.begin(), first.begin() + kNoProfileMarks, [](char c) {
                return static_cast<unsigned char>(c) == 0xFF;
            })) {
            qCDebug(lcExchange).noquote() << TraceTime() << "upload: the controller holds no profile";
            progress(45, true);
            step = Step::NoProfileEnd;
            return kNoProfileWait;
        }
        // An answer cut short is refused whole: a half-filled image is no profile.
        if (first.size() < kHalf) {
            qCDebug(lcExchange).noquote() << TraceTime() << "upload: the first half came short:" << first.size();
            result.received = static_cast<int>(first.size());
            step = Step::Done;
            return std::nullopt;
        }
        std::copy(first.begin(), first.end(), result.image.begin());
        port.Write(QByteArrayLiteral("X"));
        step = Step::SecondHalf;
        return kUploadWait;
    }
    case Step::NoProfileEnd:
        progress(kProgressEnd, true);
        result.outcome = UploadResult::NoProfile;
        step = Step::Done;
        return std::nullopt;
    case Step::SecondHalf: {
        progress(45, true);
        const QByteArray second = port.Read(kHalf);
        port.Purge(CSerialPort::PurgeTxClear);
        port.Purge(CSerialPort::PurgeTxAbort);
        port.Purge(CSerialPort::PurgeRxAbort);
        step = Step::Done;
        if (second.size() < kHalf) {
            qCDebug(lcExchange).noquote() << TraceTime() << "upload: the second half came short:" << second.size();
            result.received = static_cast<int>(second.size());
            return std::nullopt;
        }
        std::copy(second.begin(), second.end(), result.image.begin() + kHalf);
        result.outcome = UploadResult::Profile;
        return std::nullopt;
    }
    case Step::Done: break;
    }
    return std::nullopt;
}
