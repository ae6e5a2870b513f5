// The upload exchange with the controller's fixed waits.
#include "UploadExchange.h"

#include "SerialPort.h"

#include <algorithm>

namespace {
constexpr int kHalf = kProfileImageSize / 2;
constexpr int kNoProfileMarks = 7;
} // namespace

UploadResult RunUpload(CSerialPort &port, const UploadHooks &hooks)
{
    UploadResult result;
    hooks.progress(5, false);
    port.Write(QByteArrayLiteral("S"));
    port.Purge(CSerialPort::PurgeRxAbort);
    port.Purge(CSerialPort::PurgeRxClear);
    hooks.wait(kUploadWait);
    hooks.progress(15, false);
    port.Purge(CSerialPort::PurgeRxClear);
    port.Write(QByteArrayLiteral("X"));
    hooks.wait(kUploadWait);
    hooks.progress(30, true);
    const QByteArray first = port.Read(kHalf);

    if (first.size() >= kNoProfileMarks && std::all_of(first.begin(), first.begin() + kNoProfileMarks,
                                                       [](char c) { return static_cast<unsigned char>(c) == 0xFF; })) {
        hooks.progress(45, true);
        hooks.wait(1000);
        hooks.progress(60, true);
        result.outcome = UploadResult::NoProfile;
        return result;
    }
    // An answer cut short is refused whole: a half-filled image is no profile.
    if (first.size() < kHalf) {
        result.received = static_cast<int>(first.size());
        return result;
    }
    std::copy(first.begin(), first.end(), result.image.begin());

    port.Write(QByteArrayLiteral("X"));
    hooks.wait(kUploadWait);
    hooks.progress(45, true);
    const QByteArray second = port.Read(kHalf);
    port.Purge(CSerialPort::PurgeTxClear);
    port.Purge(CSerialPort::PurgeTxAbort);
    port.Purge(CSerialPort::PurgeRxAbort);
    if (second.size() < kHalf) {
        result.received = static_cast<int>(second.size());
        return result;
    }
    std::copy(second.begin(), second.end(), result.image.begin() + kHalf);
    result.outcome = UploadResult::Profile;
    return result;
}
