// scalectl compare plu FILE --port PORT [--csv OUT.csv]: what differs between a PLU file and
// the PLU table the scale holds.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/JobRunner.h"
#include "cli/JournalOption.h"
#include "cli/TraceFile.h"
#include "files/FileBytes.h"
#include "files/TableFileCommands.h"

#include <memory>
#include <optional>

namespace {

const QString kUsage =
    QStringLiteral("scalectl compare plu FILE --port PORT [--csv OUT.csv] [--trace FILE] "
                   "[--journal FILE]");

const QString kHelp = QStringLiteral(
    "Usage: scalectl compare plu FILE --port PORT [--csv OUT.csv] [--trace FILE]\n"
    "                        [--journal FILE]\n"
    "\n"
    "Reads the scale's PLU table with the upload exchange (from PLU 1 upwards until the\n"
    "scale lacks a number, then every other PLU number of FILE) and prints what differs\n"
    "from the PLU file, one line each:\n"
    "  PLU 12: U/Price \"150\" in the table, \"165\" on the scale\n"
    "  PLU 40: only on the scale\n"
    "  PLU 41: only in the table\n"
    "Names are compared as the scale stores them: centred in their 28 characters. Nothing\n"
    "is written to the scale, and FILE is only read. The upload's status texts go to\n"
    "stderr, so stdout holds the differences alone.\n"
    "  --csv OUT.csv  also write the differences as a CSV file\n"
    "%1\n"
    "PORT is COM1, COM2, {a-device}, tcp://HOST:PORT or sim.\n"
    "\n"
    "Exit codes: 0 the same, 1 they differ or the scale could not be read, 2 usage error,\n"
    "3 FILE cannot be read, OUT.csv or the trace file cannot be written.");

int compare(const QStringList& args) {
    cli::CommandLine line(QStringLiteral("compare"), kUsage);
    line.addValues({QStringLiteral("port"), QStringLiteral("csv"), QStringLiteral("trace"),
                    QStringLiteral("journal")});
    if (const std::optional<int> done =
            line.parse(args, kHelp.arg(journaloption::transferHelpText())))
        return *done;
    const QStringList positional = line.positional();
    if (positional.size() != 2 || positional[0] != QLatin1String("plu"))
        return line.usageError(QStringLiteral("expected plu and FILE (only PLUs can be read "
                                              "back from the scale)"));
    const QString port = line.value(QStringLiteral("port"));
    if (port.isEmpty())
        return line.usageError(QStringLiteral("--port PORT is required"));

    auto table = std::make_shared<PluTable>();
    const OpenResult opened = openTable(*table, positional[1]);
    if (!opened.ok) {
        cli::printError(QStringLiteral("scalectl compare: ") + opened.status);
        return ExitFileError;
    }
    cli::JobRun run;
    run.command = QStringLiteral("compare");
    run.file = positional[1];
    run.statusOnStderr = true; // stdout holds the differences alone
    run.journalPath = journaloption::path(line);
    cli::JobRunner runner(run, {ScaleEntry{port, port}});
    if (const std::optional<int> failed = runner.openTrace(line.value(QStringLiteral("trace"))))
        return *failed;
    runner.run(CompareWork{table});
    if (runner.saidCouldNotOpen())
        return ExitRefused;
    const ScaleJob& job = runner.onlyJob();
    if (!job.result().ending.done()) {
        cli::printError(QStringLiteral("scalectl compare: the scale could not be read: %1")
                            .arg(job.result().lastText));
        return ExitRefused;
    }

    const QList<PluDifference>& differences = job.differences();
    for (const PluDifference& difference : differences)
        cli::printLine(describe(difference));
    if (line.isSet(QStringLiteral("csv"))) {
        const QString path = line.value(QStringLiteral("csv"));
        const QString error = writeFileAtomically(path, differencesCsv(differences));
        if (!error.isEmpty()) {
            cli::printError(
                QStringLiteral("scalectl compare: cannot write %1: %2").arg(path, error));
            return ExitFileError;
        }
    }
    return differences.isEmpty() ? ExitOk : ExitRefused;
}

RegisterCommand reg{CliCommand{QStringLiteral("compare"),
                               QStringLiteral("list what differs between a PLU file and the scale"),
                               kUsage, compare}};

} // namespace
