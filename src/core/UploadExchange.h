// Reading the profile the controller holds.
#pragma once

#include "ProfileCodec.h"

#include <functional>

class CSerialPort;

// The upload: "S", purges, "X", the first 160 bytes, "X", the second 160 bytes, with the
// controller's fixed waits between them.
struct UploadResult
{
    enum Outcome { Profile, NoProfile, ShortAnswer };
    Outcome outcome = ShortAnswer;
    ProfileImage image{};
    int received = 0; // bytes of the half that came short
};

struct UploadHooks
{
    std::function<void(int ms)> wait;                           // the controller's time to answer
    std::function<void(int position, bool whiteText)> progress; // the progress bar, 0 to 60
};

inline constexpr int kUploadWait = 2000;
inline const QString kNoProfileText = QStringLiteral(
    "NO PROFILE FOUND ON CONTROLLER\nPlease create/open a profile and press 'Download to Controller' button ");

// Throws CSerialException when the line fails.
UploadResult RunUpload(CSerialPort &port, const UploadHooks &hooks);
