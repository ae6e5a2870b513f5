// The trace of the line and of the exchanges on it, for controllers that misbehave in the field.
#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

// Every byte sent and read, with its time; opening, closing and purging the line.
Q_DECLARE_LOGGING_CATEGORY(lcSerial)
// The transfers' steps, waits and reply pieces.
Q_DECLARE_LOGGING_CATEGORY(lcExchange)

// Both are off unless asked for: QT_LOGGING_RULES="orvex.*.debug=true" for the window, or this
// (orvexctl --verbose).
void EnableLinkTrace();

// The moment, in UTC to the millisecond, as every trace line starts.
QString TraceTime();

// Bytes as trace lines of 16 each: time, device, direction ("TX" sent, "RX" read), offset, hex and
// the printable characters, so that a trace can be read without the program.
QStringList TraceLines(const QString &device, const char *direction, const QByteArray &bytes);
