#pragma once

#include "jobs/ScaleJob.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class TraceFile;

namespace cli {

// What a command that talks to scales prints and writes around its jobs.
struct JobRun {
    QString command;             // "download plu", "display", ...: for the messages and the report
    QString file;                // the table file sent, if any
    QString reportPath;          // --report FILE.json, empty without
    bool statusOnStderr = false; // the status texts go to stderr (stdout holds the results)
    QString journalPath;         // the send journal every job records in; empty: none
};

// The one runner of scalectl's transfers: one job per scale, all at once, each on its own
// port, until the last has ended. Ctrl-C or SIGTERM cancel them all, as "Cancel all" does in
// the window. With one scale and no report it prints exactly what a single-port command
// always printed: every status text as it happens, the command's own result after it. With
// several scales or a report every line starts with the scale's name (when there is more than
// one), each scale's end text follows its status texts, and finishMany() sums up.
class JobRunner {
public:
    JobRunner(JobRun run, QList<ScaleEntry> scales);
    ~JobRunner();

    // --trace FILE: every scale's line goes to FILE, each line naming its port. Opened before
    // any port; when it cannot be, says so and returns the exit code to end with.
    std::optional<int> openTrace(const QString& path);

    bool single() const { return scales_.size() == 1 && run_.reportPath.isEmpty(); }

    void run(const JobWork& work);
    const std::vector<std::unique_ptr<ScaleJob>>& jobs() const { return jobs_; }
    const ScaleJob& onlyJob() const { return *jobs_.front(); }

    // For a single scale whose port could not be opened: says so on stderr
    // ("scalectl COMMAND: cannot open PORT: reason") and returns true.
    bool saidCouldNotOpen() const;

    // After run() over several scales or with a report: the summary on stderr naming the
    // scales that did not succeed, and the report. Returns 0 when every scale succeeded, 1
    // when any did not, 3 when the report cannot be written.
    int finishMany() const;

private:
    JobRun run_;
    QList<ScaleEntry> scales_;
    std::unique_ptr<TraceFile> trace_;
    std::vector<std::unique_ptr<ScaleJob>> jobs_;
};

} // namespace cli
