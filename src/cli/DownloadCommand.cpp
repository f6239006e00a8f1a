// scalectl download plu|ingred FILE --port PORT... [--one N | --range FIRST-LAST | --all]:
// sends rows of a PLU or ingredient file to one scale or several at once, as the window's
// download buttons and its "Scales" tab do.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/JobRunner.h"
#include "cli/JournalOption.h"
#include "cli/ScaleOptions.h"
#include "cli/TraceFile.h"
#include "files/TableFileCommands.h"

#include <QDateTime>

#include <memory>
#include <optional>

namespace {

const QString kUsage = QStringLiteral(
    "scalectl download plu|ingred FILE (--port PORT)... [--scales LIST] [--one N | --range "
    "FIRST-LAST | --all] [--verify] [--backup DIR] [--report FILE.json] [--trace FILE] "
    "[--changed] [--journal FILE]");

// Built when asked for: the quoted texts are the transfer's own.
QString help() {
    return QStringLiteral(
               "Usage: scalectl download plu|ingred FILE --port PORT [--port PORT]...\n"
               "                         [--scales LIST] [--one N | --range FIRST-LAST | --all]\n"
               "                         [--verify] [--backup DIR] [--report FILE.json]\n"
               "                         [--trace FILE] [--changed] [--journal FILE]\n"
               "\n"
               "Sends rows of a PLU file (plu) or an ingredient file (ingred) to the scale, as\n"
               "ScaleDesk's \" PLU Download\" and \"INGRED Download\" do once the file is open. "
               "Rows\n"
               "are counted from 1 in the order of the file, as in the grid's \"No\" column.\n"
               "  --all               every row of the file (default)\n"
               "  --one N             row N only\n"
               "  --range FIRST-LAST  rows FIRST to LAST; a reversed range sends nothing\n"
               "  --changed           of those, only the rows whose record differs from what the\n"
               "                      send journal says the scale last accepted or was read to\n"
               "                      hold; rows the journal knows nothing of are sent too\n"
               "Row numbers are read as the window's boxes read them: blanks allowed, halves\n"
               "rounded to the even neighbour.\n"
               "PORT is COM1, COM2, {a-device}, tcp://HOST:PORT or sim.\n"
               "\n"
               "Several scales at once: give --port more than once, or --scales LIST, a file of\n"
               "the store's scales (one per line as NAME = PORT, '#' starts a note; the window's\n"
               "\"Scales\" tab exports and imports it). Every scale gets the same rows at the "
               "same\n"
               "time, each on its own port; one that fails never stops the others. Every line\n"
               "printed then starts with the scale's name (its port for a --port) and \": \".\n"
               "  --report FILE.json  writes each scale's outcome: state, rows sent, retries,\n"
               "                      last status text, exit status\n"
               "\n"
               "Checks (PLU files only; ingredient messages cannot be read back from the scale):\n"
               "  --verify            after \" THE END \", reads every sent PLU back and compares\n"
               "                      it; a difference is listed and fails the download\n"
               "  --backup DIR        before an all-rows download, saves the scale's PLU table\n"
               "                      as DIR/SCALE-YYYYMMDD-HHMMSS.plu; when it cannot, nothing\n"
               "                      is sent\n"
               "\n"
               "%3\n"
               "\n"
               "The status text of reading FILE and every status text of the transfer are printed\n"
               "on stdout as they happen (\"plu#3 is transfered\", \"%1\", \" THE END \").\n"
               "Every selected row is checked before the first byte is sent; a row that cannot be\n"
               "sent is named and nothing is sent. Ctrl-C or SIGTERM cancel the transfer as "
               "\"Cancel\"\n"
               "does in ScaleDesk (\"%2\"); the rows sent until then stay on the scale.\n"
               "Exit codes: 0 every scale ended with \" THE END \" (and passed its checks), 1 a\n"
               "scale refused, gave up after six failures of a row, failed its checks, its port\n"
               "failed or it was cancelled, 2 usage error, 3 FILE, LIST, the report or the trace\n"
               "file cannot be read or written.")
        .arg(transfer_texts::kRetry + QLatin1Char('1'), transfer_texts::kCancelled,
             journaloption::transferHelpText());
}

enum class TableChoice { Plu, Ingred };

struct Options {
    TableChoice table = TableChoice::Plu;
    QString file;
    QList<ScaleEntry> scales;
    DownloadSelection selection;
    bool verify = false;
    QString backupDir;
    QString reportPath;
    QString trace; // --trace FILE, empty without
    QString journal;
    bool changedOnly = false;
};

// "FIRST-LAST" split at the dash between the numbers, so that "-3-5" and "1--2" keep their
// signs; the two texts are then read like the boxes' texts.
std::optional<std::pair<QString, QString>> splitRange(const QString& text) {
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar before = text.at(i - 1);
        if (text.at(i) == QLatin1Char('-') &&
            (before.isDigit() || before == QLatin1Char('.') || before.isSpace()))
            return std::make_pair(text.left(i), text.mid(i + 1));
    }
    return std::nullopt;
}

// Parses the arguments; returns an exit code when the command is to end at once.
std::optional<int> parse(const QStringList& args, Options& options) {
    cli::CommandLine line(QStringLiteral("download"), kUsage);
    line.addSwitches({QStringLiteral("all"), QStringLiteral("verify"), QStringLiteral("changed")});
    line.addValues({QStringLiteral("one"), QStringLiteral("range"), QStringLiteral("port"),
                    QStringLiteral("scales"), QStringLiteral("report"), QStringLiteral("backup"),
                    QStringLiteral("trace"), QStringLiteral("journal")});
    if (const std::optional<int> done = line.parse(args, help()))
        return done;
    const QStringList positional = line.positional();
    if (positional.size() != 2)
        return line.usageError(QStringLiteral("expected the table (plu or ingred) and FILE"));
    if (positional[0] == QLatin1String("plu"))
        options.table = TableChoice::Plu;
    else if (positional[0] == QLatin1String("ingred"))
        options.table = TableChoice::Ingred;
    else
        return line.usageError(
            QStringLiteral("the table is plu or ingred, not '%1'").arg(positional[0]));
    options.file = positional[1];
    if (line.count(QStringLiteral("all")) + line.count(QStringLiteral("one")) +
            line.count(QStringLiteral("range")) >
        1)
        return line.usageError(QStringLiteral("give only one of --one, --range and --all"));
    if (line.isSet(QStringLiteral("one"))) {
        options.selection.choice = DownloadChoice::One;
        options.selection.oneNo = line.value(QStringLiteral("one"));
    } else if (line.isSet(QStringLiteral("range"))) {
        const QString text = line.value(QStringLiteral("range"));
        const auto range = splitRange(text);
        if (!range)
            return line.usageError(
                QStringLiteral("--range takes FIRST-LAST, e.g. 3-7, not '%1'").arg(text));
        options.selection.choice = DownloadChoice::Multiple;
        options.selection.startNo = range->first;
        options.selection.endNo = range->second;
    } else {
        options.selection.choice = DownloadChoice::All;
    }
    options.verify = line.isSet(QStringLiteral("verify"));
    options.backupDir = line.value(QStringLiteral("backup"));
    if (options.table == TableChoice::Ingred && (options.verify || !options.backupDir.isEmpty()))
        return line.usageError(QStringLiteral("--verify and --backup are for PLU files: ") +
                               kIngredCannotBeVerified);
    if (!options.backupDir.isEmpty() && options.selection.choice != DownloadChoice::All)
        return line.usageError(QStringLiteral(
            "--backup goes with an all-rows download, which replaces the scale's table"));
    options.reportPath = line.value(QStringLiteral("report"));
    options.trace = line.value(QStringLiteral("trace"));
    options.journal = journaloption::path(line);
    options.changedOnly = line.isSet(QStringLiteral("changed"));
    if (const std::optional<int> done =
            cli::scalesFromOptions(line, QStringLiteral("download"), options.scales))
        return done;
    return cli::checkReportPath(QStringLiteral("download"), options.reportPath);
}

template <typename TableT> int downloadFile(const Options& options) {
    auto table = std::make_unique<TableT>(); // hundreds of records: too big for the stack
    table->reset();
    const OpenResult opened = openTable(*table, options.file);
    if (!opened.ok) {
        cli::printError(QStringLiteral("scalectl download: ") + opened.status);
        return ExitFileError;
    }
    cli::printLine(opened.status);

    // The file's path is the "Source": the "?" refusal cannot happen here.
    const DownloadPlan plan = planDownload(*table, options.file, options.selection);
    if (plan.refused()) {
        cli::printLine(plan.refusal);
        return ExitRefused;
    }

    DownloadChecks checks;
    checks.verify = options.verify;
    checks.backupDir = options.backupDir;
    checks.now = QDateTime::currentDateTime();
    cli::JobRun run;
    run.command =
        QStringLiteral("download ") +
        (options.table == TableChoice::Plu ? QStringLiteral("plu") : QStringLiteral("ingred"));
    run.file = options.file;
    run.reportPath = options.reportPath;
    run.journalPath = options.journal;
    cli::JobRunner runner(run, options.scales);
    if (const std::optional<int> failed = runner.openTrace(options.trace))
        return *failed;
    runner.run(DownloadWork{plan, checks, options.changedOnly});
    if (!runner.single())
        return runner.finishMany();
    if (runner.saidCouldNotOpen())
        return ExitRefused;
    return exitStatusOf(runner.onlyJob().result().ending.outcome);
}

int download(const QStringList& args) {
    Options options;
    if (const std::optional<int> done = parse(args, options))
        return *done;
    return options.table == TableChoice::Plu ? downloadFile<PluTable>(options)
                                             : downloadFile<IngredTable>(options);
}

RegisterCommand reg{CliCommand{QStringLiteral("download"),
                               QStringLiteral("send rows of a PLU or ingredient file to the scale"),
                               kUsage, download}};

} // namespace
