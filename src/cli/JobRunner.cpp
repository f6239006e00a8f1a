#include "cli/JobRunner.h"

#include "cli/Command.h"
#include "cli/QuitOnSignal.h"
#include "cli/TraceFile.h"
#include "files/FileBytes.h"
#include "jobs/JobReport.h"
#include "jobs/ScaleJobs.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"

#include <QEventLoop>

namespace cli {

JobRunner::JobRunner(JobRun run, QList<ScaleEntry> scales)
    : run_(std::move(run)), scales_(std::move(scales)) {}

JobRunner::~JobRunner() = default;

std::optional<int> JobRunner::openTrace(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    trace_ = TraceFile::open(run_.command.section(QLatin1Char(' '), 0, 0), path);
    if (!trace_)
        return ExitFileError;
    return std::nullopt;
}

void JobRunner::run(const JobWork& work) {
    RealClock clock;
    ScaleJobs group(clock);
    const bool prefix = !single() && scales_.size() > 1;
    const bool printEndTexts = !single();
    const auto print = run_.statusOnStderr ? printError : printLine;
    const RunFacts facts = RunFacts::ofFile(run_.file);
    QObject::connect(&group, &ScaleJobs::jobStarted, &group, [&](ScaleJob* job) {
        job->setLineLog(trace_ ? &trace_->log() : nullptr);
        if (!run_.journalPath.isEmpty())
            job->setJournal(run_.journalPath, facts);
        const QString lead = prefix ? job->scale().name + QStringLiteral(": ") : QString();
        QObject::connect(job, &ScaleJob::statusText, job,
                         [print, lead](const QString& text) { print(lead + text); });
        if (printEndTexts)
            QObject::connect(job, &ScaleJob::finished, job, [print, lead, job] {
                if (!job->endText().isEmpty())
                    print(lead + job->endText());
            });
    });

    TransferAbort stop; // Ctrl-C: as "Cancel all" in the window
    QObject::connect(&stop, &TransferAbort::aborted, &group,
                     [&group](const QString& reason) { group.cancelAll(reason); });
    const AbortOnTerminationSignals stopCancels(stop);
    QEventLoop loop;
    QObject::connect(&group, &ScaleJobs::allFinished, &loop, &QEventLoop::quit);
    group.startAll(scales_, work);
    if (group.running())
        loop.exec();
    jobs_ = group.takeJobs();
}

bool JobRunner::saidCouldNotOpen() const {
    const ScaleJob& job = onlyJob();
    if (job.result().ending.outcome != Outcome::CouldNotOpen)
        return false;
    const QString command = run_.command.section(QLatin1Char(' '), 0, 0);
    printError(QStringLiteral("scalectl %1: cannot open %2: %3")
                   .arg(command, job.scale().port, job.result().ending.reason));
    return true;
}

int JobRunner::finishMany() const {
    QList<ScaleReportEntry> entries;
    for (const auto& job : jobs_)
        entries.append({job->scale(), job->result()});
    int exitCode = exitStatusOf(entries) == 0 ? ExitOk : ExitRefused;
    if (scales_.size() > 1) {
        QStringList failed;
        for (const ScaleReportEntry& entry : entries)
            if (!entry.result.succeeded())
                failed << QStringLiteral("%1 (%2)").arg(entry.scale.name,
                                                        stateName(entry.result.state));
        printError(failed.isEmpty()
                       ? QStringLiteral("scalectl %1: all %2 scales succeeded")
                             .arg(run_.command)
                             .arg(scales_.size())
                       : QStringLiteral("scalectl %1: %2 of %3 scales did not succeed: %4")
                             .arg(run_.command)
                             .arg(failed.size())
                             .arg(scales_.size())
                             .arg(failed.join(QStringLiteral(", "))));
    }
    if (!run_.reportPath.isEmpty()) {
        const QString error =
            writeFileAtomically(run_.reportPath, jobReportJson(run_.command, run_.file, entries));
        if (!error.isEmpty()) {
            printError(QStringLiteral("scalectl %1: cannot write the report \"%2\": %3")
                           .arg(run_.command, run_.reportPath, error));
            exitCode = ExitFileError;
        }
    }
    return exitCode;
}

} // namespace cli
