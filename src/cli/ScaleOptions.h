#pragma once

#include "jobs/ScaleEntry.h"

#include <QList>
#include <QString>

#include <optional>

namespace cli {

class CommandLine;

// The scales a transfer command talks to: every `--port PORT` (named after its port) after
// the scales of `--scales FILE`. Reports a usage error (no scale, a name twice) or an
// unreadable list on stderr and returns the exit code to end with.
std::optional<int> scalesFromOptions(const CommandLine& line, const QString& command,
                                     QList<ScaleEntry>& scales);

// Checks before the first byte that `--report FILE` can be written where it is to go;
// returns the exit code to end with when it cannot.
std::optional<int> checkReportPath(const QString& command, const QString& path);

} // namespace cli
