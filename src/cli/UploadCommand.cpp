// scalectl upload plu OUT.plu --port PORT [--one N | --all]: reads PLU records from the
// scale as the window's "Upload" does and writes what it lists to a PLU file, as Save would.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/JobRunner.h"
#include "cli/JournalOption.h"
#include "cli/TraceFile.h"
#include "files/TableFileCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <memory>
#include <optional>

namespace {

const QString kUsage =
    QStringLiteral("scalectl upload plu OUT.plu --port PORT [--one N | --all] [--trace FILE] "
                   "[--journal FILE]");

// Built when asked for: the numbers are the scale model's, the quoted texts the transfer's.
QString help() {
    const scale::ScaleModel& model = scale::kStandardScale;
    return QStringLiteral(
               "Usage: scalectl upload plu OUT.plu --port PORT [--one N | --all] [--trace FILE]\n"
               "\n"
               "Reads PLU records from the scale, as ScaleDesk's \"Upload\" does, and writes them "
               "to\n"
               "OUT.plu as Save writes a PLU file, so that it can be opened and downloaded again.\n"
               "  --all     ask for PLU 1, 2, 3 ... until the scale lacks one, at most %1 "
               "(default)\n"
               "  --one N   ask for PLU N only (1 to %1)\n"
               "%4\n"
               "PORT is COM1, COM2, {a-device}, tcp://HOST:PORT or sim "
               "(the\n"
               "simulated scale built into scalectl).\n"
               "\n"
               "Each status text is printed on stdout as it happens (\"plu#3 is received\", \"PLU "
               "is\n"
               "not exist\", \"%2\", ...). Names come back as the scale holds them: %3 "
               "characters,\n"
               "centred with blanks.\n"
               "\n"
               "OUT.plu is replaced, whole, only by an upload that ends as it should: after the "
               "last\n"
               "number asked for, or at \"PLU is not exist\". One that ends otherwise (given up "
               "after\n"
               "five failures of one number, the port failed, or Ctrl-C or SIGTERM, which cancel "
               "it as\n"
               "\"Cancel\" does in ScaleDesk) leaves OUT.plu as it was and writes the records "
               "received\n"
               "until then to OUT.plu.partial. Nothing is written when no record came. Whether "
               "OUT.plu\n"
               "can be written is checked before the first byte is sent.\n"
               "Exit codes: 0 uploaded, 1 refused, aborted, cancelled or the port failed,\n"
               "2 usage error, 3 OUT.plu or the trace file cannot be written.")
        .arg(QString::number(model.pluCapacity), transfer_texts::kRetry + QLatin1Char('1'),
             QString::number(model.pluRecord.nameWidth), journaloption::transferHelpText());
}

struct Options {
    QString out;
    QString port;
    QString trace; // --trace FILE, empty without
    QString journal;
    UploadSelection selection;
};

// Parses the arguments; returns an exit code when the command is to end at once.
std::optional<int> parse(const QStringList& args, Options& options) {
    cli::CommandLine line(QStringLiteral("upload"), kUsage);
    line.addSwitches({QStringLiteral("all")});
    line.addValues({QStringLiteral("one"), QStringLiteral("port"), QStringLiteral("trace"),
                    QStringLiteral("journal")});
    if (const std::optional<int> done = line.parse(args, help()))
        return done;
    const QStringList files = line.positional();
    if (files.isEmpty() || files.first() != QLatin1String("plu"))
        return line.usageError(
            QStringLiteral("only the PLU table can be uploaded: give 'plu' first"));
    if (files.size() != 2)
        return line.usageError(QStringLiteral("expected one output file after 'plu'"));
    if (line.isSet(QStringLiteral("one")) && line.isSet(QStringLiteral("all")))
        return line.usageError(QStringLiteral("give either --one N or --all, not both"));
    options.port = line.value(QStringLiteral("port"));
    if (options.port.isEmpty())
        return line.usageError(QStringLiteral("--port PORT is required"));
    options.out = files[1];
    options.trace = line.value(QStringLiteral("trace"));
    options.journal = journaloption::path(line);
    options.selection.onePlu = line.isSet(QStringLiteral("one"));
    options.selection.onePluNoText = line.value(QStringLiteral("one"));
    return std::nullopt;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Why `path` cannot be written, or nothing when it can. The save writes a new file in the
// folder and renames it over the old one, so the folder must take a new file.
std::optional<QString> whyUnwritable(const QString& path) {
    const QFileInfo out(path);
    if (out.isDir())
        return QStringLiteral("it is a folder");
    if (!out.absoluteDir().exists())
        return QStringLiteral("no such folder");
    if (out.exists() && !out.isWritable())
        return QStringLiteral("it is read-only");
    QTemporaryFile probe(out.absoluteDir().filePath(QStringLiteral(".scalectl-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("its folder does not take new files: ") + probe.errorString();
    return std::nullopt;
}

// Writes the records the upload listed, as the window's Save of the PLU table does; the
// status names the count ("PLU Count is 3") or the fault.
SaveResult writeListed(PluTable& table, const QString& path) {
    const CopyResult copied = copyGridToRecords(table);
    return copied.ok ? saveRecords(table, path) : SaveResult{false, copied.status};
}

// " (stopped by SIGINT)": why the upload ended early, when the status texts do not say it
// (they name a failure the scale gave up on).
QString why(const UploadResult& result) {
    const Outcome outcome = result.ending.outcome;
    if (outcome != Outcome::PortLost && outcome != Outcome::Cancelled)
        return {};
    return QStringLiteral(" (%1)").arg(result.ending.reason);
}

// Writes what the upload received: to OUT when it ended as it should, else beside OUT, as an
// upload cut short may lack records that OUT holds.
int writeReceived(PluTable& table, const UploadResult& result, const QString& out) {
    if (!result.tableReplaced) {
        cli::printError(QStringLiteral("scalectl upload: nothing was received%1; \"%2\" was not "
                                       "written")
                            .arg(why(result), shown(out)));
        return ExitRefused;
    }

    const bool complete = result.succeeded();
    const QString path = complete ? out : out + QStringLiteral(".partial");
    const SaveResult saved = writeListed(table, path);
    if (!saved.ok) {
        cli::printError(QStringLiteral("scalectl upload: ") + saved.status);
        return ExitFileError;
    }
    cli::printError(
        QStringLiteral("scalectl upload: \"%1\" written, %2").arg(shown(path), saved.status));
    if (complete)
        return ExitOk;
    cli::printError(QStringLiteral("scalectl upload: the upload did not finish%1; \"%2\" was "
                                   "left as it was")
                        .arg(why(result), shown(out)));
    return ExitRefused;
}

int upload(const QStringList& args) {
    Options options;
    if (const std::optional<int> done = parse(args, options))
        return *done;

    // Better to find out now than after the scale has been read.
    if (const std::optional<QString> problem = whyUnwritable(options.out)) {
        cli::printError(QStringLiteral("scalectl upload: cannot write \"%1\": %2")
                            .arg(shown(options.out), *problem));
        return ExitFileError;
    }

    cli::JobRun run;
    run.command = QStringLiteral("upload");
    run.journalPath = options.journal;
    cli::JobRunner runner(run, {ScaleEntry{options.port, options.port}});
    if (const std::optional<int> failed = runner.openTrace(options.trace))
        return *failed;
    runner.run(UploadWork{options.selection});
    if (runner.saidCouldNotOpen())
        return ExitRefused;
    const ScaleJob& job = runner.onlyJob();
    if (job.upload().ending.outcome == Outcome::Refused)
        return ExitRefused; // "PLU No is not valid" is on stdout; nothing was sent
    return writeReceived(*job.uploadedTable(), job.upload(), options.out);
}

RegisterCommand reg{CliCommand{QStringLiteral("upload"),
                               QStringLiteral("read PLU records from the scale into a PLU file"),
                               kUsage, upload}};

} // namespace
