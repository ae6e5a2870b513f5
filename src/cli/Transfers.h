// The list of ports the link commands (download, upload, monitor, exporter) take.
#pragma once

#include "Options.h"

#include <optional>

// Where Qt looks for a device: a name without a folder is in /dev.
QString DevicePath(const QString &device);
// The --port values, each once; none after a usage error (already told).
std::optional<QStringList> PortsOf(const CommandLine &line, const QCommandLineOption &port);
