// What download and apply check in a profile file before any controller's time is spent on it.
#pragma once

#include "ProfileCodec.h"

#include <QString>

#include <optional>

// The refusal the window's rules give for the profile an image holds, none when it would send it.
std::optional<QString> WindowRefusal(const ProfileImage &image);

struct SendableProfile
{
    ProfileImage image{};
    QString error; // the whole refusal, naming the file; empty when the image may be sent
};

// A profile file of exactly 320 bytes that the window's rules accept, or what is wrong with it; with
// force a refusal of the rules is only said on stderr.
SendableProfile ReadSendableProfile(const QString &path, bool force);
