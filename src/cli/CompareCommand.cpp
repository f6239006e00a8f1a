// scalectl compare plu FILE --port PORT [--csv OUT.csv]: what differs between a PLU file and
// the PLU table the scale holds.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/PortSession.h"
#include "cli/QuitOnSignal.h"
#include "cli/TraceFile.h"
#include "files/FileBytes.h"
#include "files/TableFileCommands.h"
#include "jobs/PluCompare.h"
#include "serial/TransferAbort.h"

#include <memory>
#include <optional>

namespace {

const QString kUsage =
    QStringLiteral("scalectl compare plu FILE --port PORT [--csv OUT.csv] [--trace FILE]");

const QString kHelp = QStringLiteral(
    "Usage: scalectl compare plu FILE --port PORT [--csv OUT.csv] [--trace FILE]\n"
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
    "PORT is COM1, COM2, a device path such as /dev/ttyUSB0, tcp://HOST:PORT or sim.\n"
    "\n"
    "Exit codes: 0 the same, 1 they differ or the scale could not be read, 2 usage error,\n"
    "3 FILE cannot be read, OUT.csv or the trace file cannot be written.");

int compare(const QStringList& args) {
    cli::CommandLine line(QStringLiteral("compare"), kUsage);
    line.addValue(QStringLiteral("port"));
    line.addValue(QStringLiteral("csv"));
    line.addValue(QStringLiteral("trace"));
    if (const std::optional<int> done = line.parse(args, kHelp.arg(TraceFile::helpText())))
        return *done;
    const QStringList positional = line.positional();
    if (positional.size() != 2 || positional[0] != QLatin1String("plu"))
        return line.usageError(QStringLiteral("expected plu and FILE (only PLUs can be read "
                                              "back from the scale)"));
    const QString port = line.value(QStringLiteral("port"));
    if (port.isEmpty())
        return line.usageError(QStringLiteral("--port PORT is required"));

    auto table = std::make_unique<PluTable>();
    const OpenResult opened = openTable(*table, positional[1]);
    if (!opened.ok) {
        cli::printError(QStringLiteral("scalectl compare: ") + opened.status);
        return ExitFileError;
    }
    QList<int> numbers;
    for (int row = 1; row <= table->count; ++row)
        numbers.append(table->records[row].PluNo);

    std::unique_ptr<TraceFile> trace;
    if (line.isSet(QStringLiteral("trace"))) {
        trace = TraceFile::open(QStringLiteral("compare"), line.value(QStringLiteral("trace")));
        if (!trace)
            return ExitFileError;
    }

    TransferAbort abort;
    const AbortOnTerminationSignals stopCancels(abort);
    const std::unique_ptr<PortSession> session =
        PortSession::open(QStringLiteral("compare"), port, &abort);
    if (!session)
        return ExitRefused;
    if (trace)
        trace->attach(session->wire());
    const ScaleReadBack read =
        async::waitFor(readBackPlus(session->wire(), true, numbers, cli::printError));
    session->close();
    if (!read.complete()) {
        cli::printError(
            QStringLiteral("scalectl compare: the scale could not be read: %1").arg(read.failure));
        return ExitRefused;
    }

    const QList<PluDifference> differences = comparePlus(*table, read);
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
