// Reading a profile file as Open File and orvexctl decode read it.
#pragma once

#include "ProfileCodec.h"

#include <QString>

#include <array>
#include <cstdint>

struct ProfileFileRead
{
    enum Outcome { Read, CannotOpen, TooLarge };
    Outcome outcome = CannotOpen;
    // The file's first bytes, zeros past its end: a short file never borrows another's bytes.
    std::array<std::uint8_t, kFileImageSize> image{};
    qint64 length = 0;
    QString reason; // why it could not be opened
    bool Short() const { return outcome == Read && length < kProfileImageSize; }
};

// Only a regular file is read, at most 512 bytes of it: a FIFO or a device would hang the caller or
// never end, so it counts as a file that cannot be opened.
ProfileFileRead ReadProfileFile(const QString &path);
