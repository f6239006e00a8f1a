// scalectl display --port PORT...: reads the three values the scale's display shows, as the
// window's "Update" does, of one scale or several at once.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/JobRunner.h"
#include "cli/JournalOption.h"
#include "cli/ScaleOptions.h"
#include "cli/TraceFile.h"

#include <memory>
#include <optional>

namespace {

const QString kUsage =
    QStringLiteral("scalectl display (--port PORT)... [--scales LIST] [--report FILE.json] "
                   "[--trace FILE] [--journal FILE]");

const QString kHelp = QStringLiteral(
    "Usage: scalectl display --port PORT [--port PORT]... [--scales LIST]\n"
    "                        [--report FILE.json] [--trace FILE] [--journal FILE]\n"
    "\n"
    "Reads the weight, unit price and total price that the scale's display shows and prints\n"
    "them on one line, as plain decimal numbers separated by one blank:\n"
    "  1250 899 1124\n"
    "PORT is COM1, COM2, {a-device}, tcp://HOST:PORT or sim (the\n"
    "simulated scale built into scalectl).\n"
    "\n"
    "When the scale does not answer the sync nothing is printed on stdout, and stderr says\n"
    "what came instead (\"answered the sync with 0x78, not 0x77\"). When it answers\n"
    "the sync but its display record does not come within five seconds, \"0 0 0\" is\n"
    "printed, as the window shows it, and the exit code tells the difference.\n"
    "\n"
    "Several scales at once: give --port more than once, or --scales LIST (one scale per\n"
    "line as NAME = PORT, as the window's \"Scales\" tab exports it). Each scale's line then\n"
    "starts with its name and \": \", and a scale that cannot be read says why on its line.\n"
    "--report FILE.json writes each scale's outcome and last text.\n"
    "\n"
    "%1\n"
    "\n"
    "Examples:\n"
    "  scalectl display --port {serial}\n"
    "  scalectl display --port tcp://192.168.1.20:4001\n"
    "  scalectl display --port sim\n"
    "\n"
    "  scalectl display --port {serial} --port {serial2}\n"
    "\n"
    "Exit codes: 0 read (every scale), 1 no answer, no record or the port failed (any\n"
    "scale), 2 usage error, 3 LIST, the report or the trace file cannot be read or written.");

// The single scale's values on stdout, or on stderr what came instead.
int printReading(const ScaleJob& job) {
    const Ending& ending = job.result().ending;
    const QString port = job.scale().port;
    if (job.showsValues())
        cli::printLine(QStringLiteral("%1 %2 %3")
                           .arg(job.display().weight)
                           .arg(job.display().unitPrice)
                           .arg(job.display().totalPrice));
    switch (ending.outcome) {
    case Outcome::Done:
        return ExitOk;
    case Outcome::GaveUp:
        // With the values shown the record was missing; without, the sync failed.
        cli::printError(
            job.showsValues()
                ? QStringLiteral("scalectl display: the scale %1").arg(ending.reason)
                : QStringLiteral("scalectl display: the scale on %1 %2").arg(port, ending.reason));
        return ExitRefused;
    default:
        cli::printError(QStringLiteral("scalectl display: %1: %2").arg(port, ending.reason));
        return ExitRefused;
    }
}

int display(const QStringList& args) {
    cli::CommandLine line(QStringLiteral("display"), kUsage);
    line.addValues({QStringLiteral("port"), QStringLiteral("scales"), QStringLiteral("report"),
                    QStringLiteral("trace"), QStringLiteral("journal")});
    if (const std::optional<int> done =
            line.parse(args, kHelp.arg(journaloption::transferHelpText())))
        return *done;
    if (!line.positional().isEmpty())
        return line.usageError(
            QStringLiteral("unexpected argument '%1'").arg(line.positional().first()));
    QList<ScaleEntry> scales;
    if (const std::optional<int> done =
            cli::scalesFromOptions(line, QStringLiteral("display"), scales))
        return *done;
    const QString reportPath = line.value(QStringLiteral("report"));
    if (const std::optional<int> done = cli::checkReportPath(QStringLiteral("display"), reportPath))
        return *done;
    cli::JobRun run;
    run.command = QStringLiteral("display");
    run.reportPath = reportPath;
    run.journalPath = journaloption::path(line);
    cli::JobRunner runner(run, scales);
    if (const std::optional<int> failed = runner.openTrace(line.value(QStringLiteral("trace"))))
        return *failed;
    runner.run(DisplayWork{});
    if (!runner.single())
        return runner.finishMany();
    if (runner.saidCouldNotOpen())
        return ExitRefused;
    return printReading(runner.onlyJob());
}

RegisterCommand reg{CliCommand{QStringLiteral("display"),
                               QStringLiteral("read the weight, unit price and total price shown"),
                               kUsage, display}};

} // namespace
