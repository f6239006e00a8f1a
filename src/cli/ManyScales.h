#pragma once

#include "jobs/ScaleJob.h"

#include <QList>
#include <QString>

#include <optional>

class LineLog;

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

struct ManyScalesRun {
    QString command; // "download plu", "display": for the messages and the report
    QString file;    // the table file sent, if any
    QString reportPath;
    bool prefixNames = true;  // "NAME: text" on every line, as soon as there is more than one
    LineLog* trace = nullptr; // --trace: every scale's line, each line naming its port
};

// Runs `work` on every scale at once, each on its own port, and prints every status text as
// it happens. Ctrl-C or SIGTERM cancel them all. Writes the report when asked. Returns 0
// when every scale succeeded, 1 when any did not, 3 when the report cannot be written.
int runOnScales(const ManyScalesRun& run, const QList<ScaleEntry>& scales, const JobWork& work);

} // namespace cli
