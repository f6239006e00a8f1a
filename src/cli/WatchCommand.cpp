// scalectl watch: the hot folder. Every complete file dropped into INBOX is read whole,
// checked, sent to every scale of LIST by one job per scale, and moved to DONE or FAILED
// with its result beside it.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/InboxPlan.h"
#include "cli/JournalOption.h"
#include "cli/QuitOnSignal.h"
#include "cli/ScaleOptions.h"
#include "columnmap/ColumnMap.h"
#include "hotfolder/HotFolder.h"
#include "jobs/ScaleJobs.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"

#include <QCoreApplication>
#include <QDateTime>

#include <optional>

namespace cli {
namespace {

const QString kUsage = QStringLiteral(
    "scalectl watch INBOX --scales LIST [--done DIR] [--failed DIR] [--map FILE] [--changed]");

const QString kHelp =
    QStringLiteral("Usage: ") + kUsage +
    QStringLiteral(
        "\n"
        "\n"
        "Sends every file dropped into INBOX to every scale of LIST, one file at a time in\n"
        "name order, until SIGTERM or Ctrl-C ends it (exit code 0). A file is taken once it is\n"
        "complete: renamed into INBOX, or written in place and unchanged for 2 seconds; names\n"
        "starting with '.' or ending in .part, .tmp or ~ are left alone. It is read whole and\n"
        "checked before its first byte; then it goes to DONE when every scale ended with\n"
        "\" THE END \", else to FAILED, with NAME.result.json beside it (each scale's result\n"
        "and each row's). A stop ends the scales' transfers after the row in flight and\n"
        "leaves the file in INBOX, to be sent again on the next start.\n"
        "  --scales LIST  the store's scales, one per line as NAME = PORT (or --port PORT)\n"
        "  --done DIR     where sent files go (default INBOX/done)\n"
        "  --failed DIR   where the others go (default INBOX/failed)\n"
        "  --map FILE     read workbooks through the column map FILE, which names the table;\n"
        "                 without it a workbook is a PLU table in ScaleDesk's own layout\n"
        "  --changed      send each scale only the rows that differ from what the send\n"
        "                 journal says it holds\n") +
    journaloption::helpText() +
    QStringLiteral(
        "Files: .plu and .ingred as ScaleDesk saves them, .xls, .xlsx and .csv workbooks.\n"
        "One line per event on stdout, after its UTC time: a file taken, read, each\n"
        "scale's end, the file moved.\n"
        "watch.md in ScaleDesk's documentation tells how to run it as a service.\n"
        "\n"
        "Exit codes: 0 ended by a signal, 1 INBOX cannot be watched (or is watched already),\n"
        "2 usage error, 3 LIST or the map cannot be read.");

// One event on stdout, after the UTC time it happened.
void say(const QString& event) {
    printLine(QDateTime::currentDateTimeUtc().toString(Qt::ISODate) + QLatin1Char(' ') + event);
}

struct Options {
    HotFolderPaths paths;
    QList<ScaleEntry> scales;
    std::optional<ColumnMap> map;
    QString journal;          // the send journal every send records in
    bool changedOnly = false; // --changed: only the rows a scale does not hold yet
};

std::optional<int> parse(const QStringList& args, Options& options) {
    CommandLine line(QStringLiteral("watch"), kUsage);
    line.addSwitch(QStringLiteral("changed"));
    line.addValues({QStringLiteral("scales"), QStringLiteral("port"), QStringLiteral("done"),
                    QStringLiteral("failed"), QStringLiteral("map"), QStringLiteral("journal")});
    if (const std::optional<int> done = line.parse(args, kHelp))
        return done;
    if (line.positional().size() != 1)
        return line.usageError(QStringLiteral("expected INBOX, the folder to watch"));
    options.paths = {line.positional().first(), line.value(QStringLiteral("done")),
                     line.value(QStringLiteral("failed"))};
    if (line.isSet(QStringLiteral("map"))) {
        const QString path = line.value(QStringLiteral("map"));
        ColumnMapRead read = readColumnMap(path);
        if (!read.map) {
            printError(QStringLiteral("scalectl watch: cannot use the map \"%1\": %2")
                           .arg(path, read.error));
            return ExitFileError;
        }
        options.map = std::move(read.map);
    }
    options.journal = journaloption::path(line);
    options.changedOnly = line.isSet(QStringLiteral("changed"));
    return scalesFromOptions(line, QStringLiteral("watch"), options.scales);
}

// Takes the hot folder's files one at a time and sends each to every scale.
class InboxSender : public QObject {
public:
    InboxSender(HotFolder& folder, const Options& options, Clock& clock)
        : folder_(folder), options_(options), jobs_(clock) {
        connect(&folder_, &HotFolder::fileReady, this, &InboxSender::take);
        connect(&folder_, &HotFolder::fileMoved, this,
                [](const InboxFile& file, const QString& movedTo) {
                    say(QStringLiteral("%1: moved to %2").arg(file.name, movedTo));
                });
        connect(&folder_, &HotFolder::problem, this, [](const QString& text) { printError(text); });
        connect(&jobs_, &ScaleJobs::allFinished, this, &InboxSender::sent);
        connect(&jobs_, &ScaleJobs::jobStarted, this,
                [this](ScaleJob* job) { job->setJournal(options_.journal, source_); });
    }

    // The stop of a signal: the send in flight ends after its row, its file stays.
    void stop(const QString& reason) {
        stopping_ = true;
        if (jobs_.running())
            jobs_.cancelAll(reason);
        else
            QCoreApplication::quit();
    }

private:
    void take(const InboxFile& file) {
        name_ = file.name;
        say(name_ + QStringLiteral(": taken"));
        inbox_ = planInboxFile(file.path, options_.map ? &*options_.map : nullptr);
        if (!inbox_.refusal.isEmpty()) {
            say(QStringLiteral("%1: %2").arg(name_, inbox_.refusal.trimmed()));
            folder_.finish(FileResult::refused(inbox_.refusal.trimmed()));
            return;
        }
        say(QStringLiteral("%1: %2").arg(name_, inbox_.readText.trimmed()));
        source_ = RunFacts::ofFile(file.path);
        jobs_.startAll(options_.scales, DownloadWork{inbox_.plan, {}, options_.changedOnly});
    }

    void printEnd(const ScaleJob& job) const {
        const JobResult& result = job.result();
        say(QStringLiteral("%1: %2: %3, %4 of %5 rows, \"%6\"")
                .arg(name_, job.scale().name, stateName(result.state))
                .arg(result.rowsDone)
                .arg(result.rowsTotal)
                .arg(result.lastText));
    }

    void sent() {
        for (const auto& job : jobs_.jobs())
            printEnd(*job);
        if (stopping_) {
            say(name_ + QStringLiteral(": stopped; it stays in the inbox and is sent "
                                       "again on the next start"));
            QCoreApplication::quit();
            return;
        }
        FileResult result;
        result.command = inbox_.command;
        for (const auto& job : jobs_.jobs())
            result.scales.append(
                {{job->scale(), job->result()}, downloadRowResults(inbox_.plan, job->result())});
        folder_.finish(result);
    }

    HotFolder& folder_;
    const Options& options_;
    ScaleJobs jobs_;
    QString name_;
    InboxPlan inbox_;
    RunFacts source_; // the file being sent, as the journal records it
    bool stopping_ = false;
};

int watch(const QStringList& args) {
    Options options;
    if (const std::optional<int> done = parse(args, options))
        return *done;
    RealClock clock;
    HotFolder folder(options.paths, clock);
    InboxSender sender(folder, options, clock);
    TransferAbort stop;
    QObject::connect(&stop, &TransferAbort::aborted, &sender,
                     [&sender](const QString& reason) { sender.stop(reason); });
    const AbortOnTerminationSignals stopCancels(stop);
    say(QStringLiteral("Watching %1 for the %2 scale(s) of the list")
            .arg(options.paths.inbox)
            .arg(options.scales.size()));
    if (const QString problem = folder.start(); !problem.isEmpty()) {
        printError(QStringLiteral("scalectl watch: ") + problem);
        return ExitRefused;
    }
    QCoreApplication::exec();
    return ExitOk;
}

RegisterCommand reg{CliCommand{
    QStringLiteral("watch"), QStringLiteral("send every file dropped into a folder to the scales"),
    kUsage, watch}};

} // namespace
} // namespace cli
