// Atomic file writing, shared by the window and orvexctl.
#pragma once

#include <QByteArray>
#include <QString>

// True when path exists and, wherever its links lead, is no regular file (a device, a FIFO, a
// folder): writing or renaming there would feed it or replace it.
bool ExistsButIsNoRegularFile(const QString &path);

// Writes beside the target and renames over it, so a failed write never costs the old file.
// Returns the reason when it fails, empty when done.
QString WriteFileAtomically(const QString &path, const QByteArray &bytes);
