// The list of ports the link commands (download, upload, monitor, exporter) take.
#pragma once

#include "Options.h"

#include <optional>

// The --port values, each once; none after a usage error (already told).
std::optional<QStringList> PortsOf(const CommandLine &line, const QCommandLineOption &port);
