// Reading the profile the controller holds.
#pragma once

#include "ProfileCodec.h"

#include <functional>
#include <optional>

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

inline constexpr int kUploadWait = 2000;

// The upload as steps, for whoever owns the clock: Advance runs the step that is due and returns
// the wait before the next one, or none when the exchange is over and Result() holds its outcome.
class UploadExchange
{
public:
    using Progress = std::function<void(int position, bool whiteText)>;
    static constexpr int kProgressEnd = 60; // where the bar stands when the profile is in
    // Throws CSerialException when the line fails.
    std::optional<int> Advance(CSerialPort &port, const Progress &progress);
    bool Done() const { return step == Step::Done; }
    const UploadResult &Result() const { return result; }

private:
    enum class Step { Start, FirstRequest, FirstHalf, NoProfileEnd, SecondHalf, Done };
    Step step = Step::Start;
    UploadResult result;
};
