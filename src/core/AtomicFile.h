// Atomic file writing, shared by the window and orvexctl.
#pragma once

#include <QByteArray>
#include <QString>

// Writes beside the target and renames over it, so a failed write never costs the old file.
// Returns the reason when it fails, empty when done.
QString WriteFileAtomically(const QString &path, const QByteArray &bytes);
