#include "jobs/ScaleJob.h"

#include "protocol/DisplayRead.h"
#include "protocol/DownloadEngine.h"
#include "serial/Link.h"
#include "serial/Wire.h"

QString stateName(JobState state) {
    switch (state) {
    case JobState::Waiting:
        return QStringLiteral("waiting");
    case JobState::Sending:
        return QStringLiteral("sending");
    case JobState::Retrying:
        return QStringLiteral("retrying");
    case JobState::Done:
        return QStringLiteral("done");
    case JobState::Failed:
        return QStringLiteral("failed");
    case JobState::Cancelled:
        return QStringLiteral("cancelled");
    }
    return {};
}

namespace {

JobState endOf(DownloadOutcome outcome) {
    switch (outcome) {
    case DownloadOutcome::Finished:
        return JobState::Done;
    case DownloadOutcome::Cancelled:
        return JobState::Cancelled;
    case DownloadOutcome::Refused:
    case DownloadOutcome::GaveUp:
    case DownloadOutcome::LinkFailed:
        break;
    }
    return JobState::Failed;
}

} // namespace

ScaleJob::ScaleJob(ScaleEntry scale, JobWork work, Clock& clock, const PortNames& names,
                   QObject* parent)
    : QObject(parent), scale_(std::move(scale)), work_(std::move(work)), clock_(clock),
      names_(names) {
    if (const auto* download = std::get_if<DownloadWork>(&work_))
        outcome_.rowsTotal = int(download->plan.rows.size()); // also when the port never opens
}

ScaleJob::~ScaleJob() {
    // No further byte: the abort stops the wire at once, and destroying the coroutine ends
    // its waits, its wire and its port.
    abort_.abort(QStringLiteral("Exit"));
}

void ScaleJob::start() {
    if (running_.isValid())
        return;
    running_ = run();
}

void ScaleJob::cancel(const QString& reason) {
    if (outcome_.ended())
        return;
    abort_.abort(reason);
}

void ScaleJob::show(const QString& text) {
    outcome_.lastText = text;
    if (text.startsWith(transfer_texts::kRetry)) {
        ++outcome_.retries;
        setState(JobState::Retrying);
    }
    Q_EMIT statusText(text);
}

void ScaleJob::setState(JobState state) {
    if (outcome_.state == state)
        return;
    outcome_.state = state;
    Q_EMIT stateChanged(state);
}

async::Task<void> ScaleJob::run() {
    JobState end = JobState::Cancelled;
    if (abort_.isAborted()) {
        show(transfer_texts::kCancelled); // cancelled before it began: not a byte was sent
    } else {
        setState(JobState::Sending);
        const std::unique_ptr<Link> link = createLink(scale_.port, names_);
        const bool opened = co_await link->openAsync();
        if (opened) {
            end = co_await runWork(*link);
            link->close();
        } else {
            show(QStringLiteral("cannot open port %1: %2")
                     .arg(scale_.port, withoutPortName(link->errorString())));
            end = JobState::Failed;
        }
    }
    setState(end);
    Q_EMIT finished(); // the last step: a receiver may delete the job, later
}

async::Task<JobState> ScaleJob::runWork(Link& link) {
    Wire wire(link, clock_, &abort_);
    wire.setLog(lineLog_);
    if (const auto* download = std::get_if<DownloadWork>(&work_)) {
        outcome_.rowsTotal = int(download->plan.rows.size());
        StatusSink onStatus = [this](const QString& text) { show(text); };
        ProgressSink onProgress = [this](int done, int total) {
            outcome_.rowsDone = done;
            outcome_.rowsTotal = total;
            if (outcome_.state == JobState::Retrying)
                setState(JobState::Sending);
            Q_EMIT progress(done, total);
        };
        DownloadChecks checks = download->checks;
        if (!checks.verify && checks.backupDir.isEmpty()) {
            const DownloadOutcome result = co_await runDownload(
                download->plan, wire, std::move(onStatus), std::move(onProgress));
            co_return endOf(result);
        }
        if (checks.scaleName.isEmpty())
            checks.scaleName = scale_.name;
        const CheckedDownload result = co_await runCheckedDownload(
            download->plan, wire, checks, std::move(onStatus), std::move(onProgress));
        if (result.succeeded(checks))
            co_return JobState::Done;
        co_return result.outcome == DownloadOutcome::Cancelled ? JobState::Cancelled
                                                               : JobState::Failed;
    }

    if (const auto* compare = std::get_if<CompareWork>(&work_)) {
        QList<int> numbers;
        for (int row = 1; row <= compare->table->count; ++row)
            numbers.append(compare->table->records[row].PluNo);
        StatusSink onStatus = [this](const QString& text) { show(text); };
        const ScaleReadBack read =
            co_await readBackPlus(wire, true, std::move(numbers), std::move(onStatus));
        if (!read.complete())
            co_return abort_.isAborted() ? JobState::Cancelled : JobState::Failed;
        differences_ = comparePlus(*compare->table, read);
        show(compareSummary(differences_));
        co_return JobState::Done;
    }

    const DisplayReadResult result = co_await readDisplay(wire);
    switch (result.outcome) {
    case DisplayReadOutcome::Shown:
        display_ = result.values;
        show(QStringLiteral("%1 %2 %3")
                 .arg(display_.weight)
                 .arg(display_.unitPrice)
                 .arg(display_.totalPrice));
        co_return JobState::Done;
    case DisplayReadOutcome::NoRecord:
        show(QStringLiteral("the scale answered but sent no display record within 5 seconds"));
        co_return JobState::Failed;
    case DisplayReadOutcome::NoSync:
        show(QStringLiteral("the scale ") + syncFailureText(result));
        co_return JobState::Failed;
    case DisplayReadOutcome::LinkFailed:
        show(transfer_texts::kStopped.arg(link.name(), result.error));
        co_return JobState::Failed;
    case DisplayReadOutcome::Aborted:
        show(transfer_texts::kCancelled);
        co_return JobState::Cancelled;
    }
    co_return JobState::Failed;
}
