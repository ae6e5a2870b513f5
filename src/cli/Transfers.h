// What download and upload share: the list of ports.
#pragma once

#include "Options.h"

#include <optional>

// The --port values, each once; none after a usage error (already told).
std::optional<QStringList> PortsOf(const CommandLine &line, const QCommandLineOption &port);
