// Standard output and error for every command: writes that are checked, JSON lines, refusals.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// Exit status of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
// A reader that went away (`| head`): what a shell reports for a command ended by SIGPIPE.
inline constexpr int kExitClosedPipe = 141;

// A closed standard descriptor would be taken by the next file opened, and a profile would be read
// from or written to that: each closed one is held on /dev/null and remembered as closed. First in main.
void GuardStandardStreams();
bool StandardStreamClosed(int fd);

namespace Out {
// Writes all of it to standard output; a failed write (a full disk, a closed descriptor) is
// remembered and makes Finish fail.
void Write(const QByteArray &bytes);
void Text(const QString &text);
void Line(const QString &line);
// One compact JSON object on a line.
void Json(const QJsonObject &object);
bool Failed();
// Standard output was a pipe whose reader has gone.
bool ReaderGone();
// The exit status after a command's own: a command that could not print what it meant to has failed.
int Finish(int code);
// The same, but a reader that went away ends the command quietly, as it ends `yes | head`.
int FinishOrReaderGone(int code);
} // namespace Out

namespace Err {
// One line on standard error, "orvexctl: " first.
void Line(const QString &line);
// Progress and notes as they are, without the program's name.
void Note(const QString &line);
// The trace of the line and the exchanges (--verbose) from here on, each message a line.
void StartTrace();
} // namespace Err

// The refusal line on stderr, and the exit status 1.
int Refuse(const QString &message);
