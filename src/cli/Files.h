// Inputs and outputs named on the command line; "-" is standard input or standard output.
#pragma once

#include "ProfileCodec.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Profile text is a few hundred bytes; far more is not a profile and must not fill the memory.
inline constexpr qsizetype kProfileTextLimit = 64 * 1024;

struct InputRead
{
    QByteArray bytes;
    QString error; // the whole refusal, naming the input
};

// A text input: a file, a pipe or standard input, at most kProfileTextLimit bytes.
InputRead ReadTextInput(const QString &path);

struct ProfileInput
{
    ProfileImage image{};
    qsizetype length = 0; // bytes the file held: less than 320 leaves zeros
    QString error;
};

// A profile file as the window opens it (regular files only, at most 512 bytes), or "-".
ProfileInput ReadProfileInput(const QString &path);

// Standard output for "-" and /dev/stdout, else the file replaced in one step. The reason when it fails.
QString WriteOutput(const QString &path, const QByteArray &bytes);
// Why a later WriteOutput to path would fail, before anything is done that takes time; empty when it may work.
QString OutputProblem(const QString &path);
bool IsStandardStream(const QString &path);
