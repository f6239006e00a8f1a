// scalectl status: whether each scale of a list answers (a display read, as the window's
// "Update" makes it), one line each or as JSON.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/QuitOnSignal.h"
#include "cli/ScaleOptions.h"
#include "http/StatusJson.h"
#include "jobs/ScaleJobs.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"

#include <QEventLoop>
#include <QJsonDocument>

#include <optional>

namespace cli {
namespace {

const QString kUsage = QStringLiteral("scalectl status --scales LIST [--json]");

const QString kHelp =
    QStringLiteral("Usage: ") + kUsage +
    QStringLiteral(
        "\n"
        "\n"
        "Asks every scale of LIST (one per line as NAME = PORT; or --port PORT) at once\n"
        "whether it answers, by reading its display as \"Update\" in ScaleDesk does, and\n"
        "prints one line per scale:\n"
        "  Meat: answers (1250 899 1124)\n"
        "  Deli: does not answer: Sync error\n"
        "--json prints the same as one JSON document, as GET /v1/scales of `scalectl serve`\n"
        "answers it.\n"
        "\n"
        "Exit codes: 0 every scale answers, 1 some scale does not, 2 usage error, 3 LIST cannot\n"
        "be read.");

// What the display read of one scale says of it.
ScaleStatus statusOf(const ScaleJob& job) {
    ScaleStatus status{job.scale(), job.result().succeeded(), QDateTime(), QString()};
    if (!job.result().succeeded())
        status.lastError = job.result().lastText;
    return status;
}

QString lineOf(const ScaleJob& job) {
    if (job.result().succeeded())
        return QStringLiteral("%1: answers (%2)").arg(job.scale().name, job.endText());
    return QStringLiteral("%1: does not answer: %2").arg(job.scale().name, job.result().lastText);
}

int status(const QStringList& args) {
    CommandLine line(QStringLiteral("status"), kUsage);
    line.addSwitch(QStringLiteral("json"));
    line.addValues({QStringLiteral("scales"), QStringLiteral("port")});
    if (const std::optional<int> done = line.parse(args, kHelp))
        return *done;
    if (!line.positional().isEmpty())
        return line.usageError(
            QStringLiteral("unexpected argument '%1'").arg(line.positional().first()));
    QList<ScaleEntry> scales;
    if (const std::optional<int> done = scalesFromOptions(line, QStringLiteral("status"), scales))
        return *done;

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
        statuses.append(statusOf(*job));
        everyOne = everyOne && job->result().succeeded();
        if (!line.isSet(QStringLiteral("json")))
            printLine(lineOf(*job));
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
