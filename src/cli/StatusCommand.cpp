// scalectl status: whether each scale of a list answers (a display read, as the window's
// "Update" makes it), one line each or as JSON.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/JournalOption.h"
#include "cli/QuitOnSignal.h"
#include "cli/ScaleOptions.h"
#include "http/StatusJson.h"
#include "jobs/ScaleJobs.h"
#include "journal/ScaleHistory.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>

#include <optional>

namespace cli {
namespace {

const QString kUsage = QStringLiteral("scalectl status --scales LIST [--json] [--journal FILE]");

const QString kHelp =
    QStringLiteral("Usage: ") + kUsage +
    QStringLiteral(
        "\n"
        "\n"
        "Asks every scale of LIST (one per line as NAME = PORT; or --port PORT) at once\n"
        "whether it answers, by reading its display as \"Update\" in ScaleDesk does, and\n"
        "prints one line per scale, with the last send the send journal knows of and the\n"
        "last error (the read's, else the newest failed send's):\n"
        "  Meat: answers (1250 899 1124); last send 2025-01-14T09:31:02Z\n"
        "  Deli: does not answer: Sync error; last send 2025-01-13T18:02:11Z\n"
        "--json prints the same as one JSON document, as GET /v1/scales of `scalectl serve`\n"
        "answers it. The reads are not recorded in the journal.\n"
        "  --journal FILE  the send journal to ask (default: the window's)\n"
        "\n"
        "Exit codes: 0 every scale answers, 1 some scale does not, 2 usage error, 3 LIST or\n"
        "the journal cannot be read.");

// What the display read of one scale and the journal say of it.
ScaleStatus statusOf(const ScaleJob& job, const journal::Journal* journal) {
    const journal::ScaleHistory history =
        journal ? journal::scaleHistory(*journal, job.scale().name) : journal::ScaleHistory();
    ScaleStatus status{job.scale(), job.result().succeeded(), history.lastSend,
                       history.errorReason};
    if (!job.result().succeeded())
        status.lastError = job.result().lastText;
    return status;
}

QString lineOf(const ScaleJob& job, const ScaleStatus& status) {
    QString line = job.result().succeeded()
                       ? QStringLiteral("%1: answers (%2)").arg(job.scale().name, job.endText())
                       : QStringLiteral("%1: does not answer: %2")
                             .arg(job.scale().name, job.result().lastText);
    if (status.lastSend.isValid())
        line += QStringLiteral("; last send ") + status.lastSend.toUTC().toString(Qt::ISODate);
    if (job.result().succeeded() && !status.lastError.isEmpty())
        line += QStringLiteral("; last error ") + status.lastError;
    return line;
}

int status(const QStringList& args) {
    CommandLine line(QStringLiteral("status"), kUsage);
    line.addSwitch(QStringLiteral("json"));
    line.addValues({QStringLiteral("scales"), QStringLiteral("port"), QStringLiteral("journal")});
    if (const std::optional<int> done = line.parse(args, kHelp))
        return *done;
    if (!line.positional().isEmpty())
        return line.usageError(
            QStringLiteral("unexpected argument '%1'").arg(line.positional().first()));
    QList<ScaleEntry> scales;
    if (const std::optional<int> done = scalesFromOptions(line, QStringLiteral("status"), scales))
        return *done;
    // No journal yet (nothing was ever sent from here): nothing to tell of the sends.
    std::unique_ptr<journal::Journal> journal;
    if (QFileInfo::exists(journaloption::path(line))) {
        journal = journaloption::open(line, journal::Journal::Access::ReadOnly);
        if (!journal)
            return ExitFileError; // the reason is on stderr
    }

    RealClock clock;
    ScaleJobs group(clock);
    TransferAbort stop; // Ctrl-C ends the reads still waiting
    QObject::connect(&stop, &TransferAbort::aborted, &group,
                     [&group](const QString& reason) { group.cancelAll(reason); });
    const AbortOnTerminationSignals stopCancels(stop);
    QEventLoop loop;
    QObject::connect(&group, &ScaleJobs::allFinished, &loop, &QEventLoop::quit);
    group.startAll(scales, DisplayWork{});
    if (group.running())
        loop.exec();

    QList<ScaleStatus> statuses;
    bool everyOne = true;
    for (const auto& job : group.jobs()) {
        statuses.append(statusOf(*job, journal.get()));
        everyOne = everyOne && job->result().succeeded();
        if (!line.isSet(QStringLiteral("json")))
            printLine(lineOf(*job, statuses.last()));
    }
    if (line.isSet(QStringLiteral("json")))
        printLine(QString::fromUtf8(QJsonDocument(scalesJson(statuses)).toJson().trimmed()));
    return everyOne ? ExitOk : ExitRefused;
}

RegisterCommand reg{CliCommand{QStringLiteral("status"),
                               QStringLiteral("tell whether each scale of a list answers"), kUsage,
                               status}};

} // namespace
} // namespace cli
