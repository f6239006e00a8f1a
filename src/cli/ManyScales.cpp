#include "cli/ManyScales.h"

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/QuitOnSignal.h"
#include "files/FileBytes.h"
#include "jobs/JobReport.h"
#include "jobs/ScaleJobs.h"
#include "jobs/ScaleList.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"

#include <QEventLoop>
#include <QFileInfo>

namespace cli {

std::optional<int> scalesFromOptions(const CommandLine& line, const QString& command,
                                     QList<ScaleEntry>& scales) {
    if (line.isSet(QStringLiteral("scales"))) {
        const QString path = line.value(QStringLiteral("scales"));
        const ScaleListResult list = readScaleList(path);
        if (!list.ok()) {
            printError(QStringLiteral("scalectl %1: cannot read the scales of \"%2\": %3")
                           .arg(command, path, list.error));
            return ExitFileError;
        }
        scales = list.scales;
    }
    for (const QString& port : line.values(QStringLiteral("port"))) {
        const ScaleEntry entry{port, port};
        const QString problem = scaleEntryProblem(entry, scales);
        if (!problem.isEmpty())
            return line.usageError(QStringLiteral("--port %1: %2").arg(port, problem));
        scales.append(entry);
    }
    if (scales.isEmpty())
        return line.usageError(QStringLiteral("--port PORT is required (or --scales LIST)"));
    return std::nullopt;
}

std::optional<int> checkReportPath(const QString& command, const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo report(path);
    const QFileInfo folder(report.absolutePath());
    QString why;
    if (report.exists() && !report.isFile())
        why = QStringLiteral("it is not a regular file");
    else if (!folder.isDir())
        why = QStringLiteral("the folder %1 does not exist").arg(report.absolutePath());
    else if (!folder.isWritable())
        why = QStringLiteral("the folder %1 cannot be written").arg(report.absolutePath());
    if (why.isEmpty())
        return std::nullopt;
    printError(
        QStringLiteral("scalectl %1: cannot write the report \"%2\": %3").arg(command, path, why));
    return ExitFileError;
}

int runOnScales(const ManyScalesRun& run, const QList<ScaleEntry>& scales, const JobWork& work) {
    RealClock clock;
    ScaleJobs jobs(clock);
    const bool prefix = run.prefixNames && scales.size() > 1;
    QObject::connect(&jobs, &ScaleJobs::jobStarted, &jobs, [prefix, &run](ScaleJob* job) {
        job->setLineLog(run.trace);
        const QString name = job->scale().name;
        QObject::connect(job, &ScaleJob::statusText, job, [prefix, name](const QString& text) {
            printLine(prefix ? name + QStringLiteral(": ") + text : text);
        });
    });

    TransferAbort stop; // Ctrl-C: as "Cancel all" in the window
    QObject::connect(&stop, &TransferAbort::aborted, &jobs,
                     [&jobs](const QString& reason) { jobs.cancelAll(reason); });
    const AbortOnTerminationSignals stopCancels(stop);
    QEventLoop loop;
    QObject::connect(&jobs, &ScaleJobs::allFinished, &loop, &QEventLoop::quit);
    jobs.startAll(scales, work);
    if (jobs.running())
        loop.exec();

    QList<ScaleReportEntry> outcomes;
    for (const auto& job : jobs.jobs())
        outcomes.append({job->scale(), job->outcome()});
    int exitCode = exitStatusOf(outcomes) == 0 ? ExitOk : ExitRefused;
    if (scales.size() > 1) {
        QStringList failed;
        for (const ScaleReportEntry& entry : outcomes)
            if (!entry.outcome.succeeded())
                failed << QStringLiteral("%1 (%2)").arg(entry.scale.name,
                                                        stateName(entry.outcome.state));
        printError(failed.isEmpty()
                       ? QStringLiteral("scalectl %1: all %2 scales succeeded")
                             .arg(run.command)
                             .arg(scales.size())
                       : QStringLiteral("scalectl %1: %2 of %3 scales did not succeed: %4")
                             .arg(run.command)
                             .arg(failed.size())
                             .arg(scales.size())
                             .arg(failed.join(QStringLiteral(", "))));
    }
    if (!run.reportPath.isEmpty()) {
        const QString error =
            writeFileAtomically(run.reportPath, jobReportJson(run.command, run.file, outcomes));
        if (!error.isEmpty()) {
            printError(QStringLiteral("scalectl %1: cannot write the report \"%2\": %3")
                           .arg(run.command, run.reportPath, error));
            exitCode = ExitFileError;
        }
    }
    return exitCode;
}

} // namespace cli
