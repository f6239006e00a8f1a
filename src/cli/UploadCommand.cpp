// scalectl upload plu OUT.plu --port PORT [--one N | --all]: reads PLU records from the
// scale as the window's "Upload" does and writes what it lists to a PLU file, as Save would.

#include "cli/Command.h"
#include "cli/PortSession.h"
#include "cli/UsageError.h"
#include "files/TableFileCommands.h"
#include "protocol/UploadEngine.h"
#include "serial/TransferAbort.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <optional>

namespace {

const QString kUsage = QStringLiteral("scalectl upload plu OUT.plu --port PORT [--one N | --all]");

const QString kHelp = QStringLiteral(
    "Usage: scalectl upload plu OUT.plu --port PORT [--one N | --all]\n"
    "\n"
    "Reads PLU records from the scale, as ScaleDesk's \"Upload\" does, and writes them to\n"
    "OUT.plu as Save writes a PLU file, so that it can be opened and downloaded again.\n"
    "  --all     ask for PLU 1, 2, 3 ... until the scale lacks one, at most 600 (default)\n"
    "  --one N   ask for PLU N only (1 to 600)\n"
    "PORT is COM1, COM2, a device path such as /dev/ttyUSB0, tcp://HOST:PORT or sim (the\n"
    "simulated scale built into scalectl).\n"
    "\n"
    "Each status text is printed on stdout as it happens (\"plu#3 is received\", \"PLU is\n"
    "not exist\", \"Retry #1\", ...). Names come back as the scale holds them: 28 characters,\n"
    "centred with blanks. OUT.plu is written only once the scale has replied, and then also\n"
    "after an abort, holding the records received until then; it is replaced whole or not\n"
    "at all.\n"
    "Exit codes: 0 uploaded, 1 refused, aborted, cancelled or the port failed,\n"
    "2 usage error, 3 OUT.plu cannot be written.");

struct Options {
    QString out;
    QString port;
    UploadSelection selection;
};

int usageError(const QString& message) {
    return cli::usageError(QStringLiteral("upload"), kUsage, message);
}

// Parses the arguments; returns an exit code when the command is to end at once.
std::optional<int> parse(const QStringList& args, Options& options) {
    QStringList files;
    bool one = false;
    bool all = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cli::printLine(kHelp);
            return ExitOk;
        }
        if (arg == QLatin1String("--all")) {
            all = true;
        } else if (arg == QLatin1String("--port") || arg == QLatin1String("--one")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return usageError(QStringLiteral("%1 needs a value").arg(arg));
            if (arg == QLatin1String("--port")) {
                options.port = args[++i];
            } else {
                one = true;
                options.selection.onePluNoText = args[++i];
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return usageError(QStringLiteral("unknown option '%1'").arg(arg));
        } else {
            files.append(arg);
        }
    }
    if (files.isEmpty() || files.first() != QLatin1String("plu"))
        return usageError(QStringLiteral("only the PLU table can be uploaded: give 'plu' first"));
    if (files.size() != 2)
        return usageError(QStringLiteral("expected one output file after 'plu'"));
    if (one && all)
        return usageError(QStringLiteral("give either --one N or --all, not both"));
    if (options.port.isEmpty())
        return usageError(QStringLiteral("--port PORT is required"));
    options.out = files[1];
    options.selection.onePlu = one;
    return std::nullopt;
}

// Writes the records the upload listed, as the window's Save of the PLU table does.
int writeListed(PluTable& table, const QString& path) {
    const CopyResult copied = copyGridToRecords(table);
    const SaveResult saved = copied.ok ? saveRecords(table, path) : SaveResult{false, {}};
    if (!copied.ok || !saved.ok) {
        cli::printError(QStringLiteral("scalectl upload: ") +
                        (copied.ok ? saved.status : copied.status));
        return ExitFileError;
    }
    cli::printError(QStringLiteral("scalectl upload: \"%1\" written, %2")
                        .arg(QDir::toNativeSeparators(path), saved.status));
    return ExitOk;
}

int upload(const QStringList& args) {
    Options options;
    if (const std::optional<int> done = parse(args, options))
        return *done;

    // Better to find out now than after the scale has been read.
    const QFileInfo out(options.out);
    if (!out.absoluteDir().exists() || out.isDir()) {
        cli::printError(QStringLiteral("scalectl upload: cannot write \"%1\": %2")
                            .arg(QDir::toNativeSeparators(options.out),
                                 out.isDir() ? QStringLiteral("it is a folder")
                                             : QStringLiteral("no such folder")));
        return ExitFileError;
    }

    TransferAbort abort;
    const std::unique_ptr<PortSession> session =
        PortSession::open(QStringLiteral("upload"), options.port, &abort);
    if (!session)
        return ExitRefused;
    auto table = std::make_unique<PluTable>(); // 601 records: too big for the stack
    table->reset();
    UploadEngine engine(session->wire(), *table, {cli::printLine, {}, {}});
    const UploadResult result = engine.run(options.selection);
    session->close();

    if (result.outcome == UploadOutcome::Refused)
        return ExitRefused; // "PLU No is not valid" is on stdout; nothing was sent
    if (!result.tableReplaced) {
        cli::printError(QStringLiteral("scalectl upload: the scale did not reply; \"%1\" was "
                                       "not written")
                            .arg(QDir::toNativeSeparators(options.out)));
        return ExitRefused;
    }
    if (const int written = writeListed(*table, options.out); written != ExitOk)
        return written;
    return result.succeeded() ? ExitOk : ExitRefused;
}

RegisterCommand reg{CliCommand{QStringLiteral("upload"),
                               QStringLiteral("read PLU records from the scale into a PLU file"),
                               kUsage, upload}};

} // namespace
