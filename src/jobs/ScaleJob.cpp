#include "jobs/ScaleJob.h"

#include "protocol/DisplayRead.h"
#include "protocol/DownloadEngine.h"
#include "serial/Link.h"
#include "serial/Wire.h"

ScaleJob::ScaleJob(ScaleEntry scale, JobWork work, Clock& clock, const PortNames& names,
                   QObject* parent)
    : QObject(parent), scale_(std::move(scale)), work_(std::move(work)), clock_(clock),
      names_(names) {
    if (const auto* download = std::get_if<DownloadWork>(&work_))
        result_.rowsTotal = int(download->plan.rows.size()); // also when the port never opens
}

ScaleJob::ScaleJob(Link& borrowed, JobWork work, Clock& clock, QObject* parent)
    : ScaleJob(ScaleEntry{borrowed.name(), borrowed.name()}, std::move(work), clock,
               PortNames::platformDefault(), parent) {
    borrowed_ = &borrowed;
}

ScaleJob::~ScaleJob() {
    // No further byte: the abort stops the wire at once, and destroying the coroutine ends
    // its waits, its wire and its own port.
    abort_.abort(QStringLiteral("Exit"));
    if (journal_ && !result_.ended()) // the run's end, which the destroyed coroutine never reaches
        journal_->end({Outcome::Cancelled, QStringLiteral("Exit")});
}

void ScaleJob::start() {
    if (running_.isValid())
        return;
    running_ = run();
}

void ScaleJob::cancel(const QString& reason) {
    if (result_.ended())
        return;
    abort_.abort(reason);
}

void ScaleJob::show(const QString& text) {
    result_.lastText = text;
    Q_EMIT statusText(text);
}

void ScaleJob::setState(JobState state) {
    if (result_.state == state)
        return;
    result_.state = state;
    Q_EMIT stateChanged(state);
}

ExchangeEvents ScaleJob::events() {
    ExchangeEvents events;
    events.status = [this](const QString& text) { show(text); };
    events.progress = [this](int done, int total) {
        result_.rowsDone = done;
        result_.rowsTotal = total;
        if (result_.state == JobState::Retrying)
            setState(JobState::Sending);
        Q_EMIT progressed(done, total);
    };
    events.retry = [this](int retry, const QString& failure) {
        ++result_.retries;
        setState(JobState::Retrying);
        Q_EMIT retrying(retry, failure);
    };
    events.row = [this](const RowExchange& row) { recordRow(row); };
    return events;
}

void ScaleJob::end(Ending ending) {
    if (!journalFailure_.isEmpty()) {
        show(journalFailure_);
        ending = {Outcome::Cancelled, journalFailure_};
    }
    if (journal_)
        journal_->end(ending);
    result_.ending = ending;
    if (!endText_.isEmpty())
        result_.lastText = endText_;
    setState(endStateOf(ending.outcome));
    Q_EMIT finished(); // the last step: a receiver may delete the job, later
}

async::Task<void> ScaleJob::run() {
    if (abort_.isAborted()) {
        show(transfer_texts::kCancelled); // cancelled before it began: not a byte was sent
        end({Outcome::Cancelled, abort_.reason()});
        co_return;
    }
    setState(JobState::Sending);
    if (const QString refusal = beginJournal(); !refusal.isEmpty()) {
        // Not a byte was sent. A display read says so as its end, beside its values.
        if (std::holds_alternative<DisplayWork>(work_))
            endText_ = refusal;
        else
            show(refusal);
        end({Outcome::Refused, refusal});
        co_return;
    }
    if (borrowed_) {
        const Ending ending = co_await runWork(*borrowed_);
        end(ending);
        co_return;
    }

    const std::unique_ptr<Link> link = createLink(scale_.port, names_);
    // A cancel while a connection is being made cancels the attempt.
    const QMetaObject::Connection cancelsOpening =
        connect(&abort_, &TransferAbort::aborted, link.get(), [&link] { link->close(); });
    const bool opened = co_await link->open();
    disconnect(cancelsOpening);
    Ending ending;
    if (abort_.isAborted()) {
        show(transfer_texts::kCancelled);
        ending = {Outcome::Cancelled, abort_.reason()};
    } else if (!opened) {
        ending = {Outcome::CouldNotOpen, link->errorString()};
        endText_ =
            cannotOpenText(QLatin1Char(' ') + scale_.port, withoutPortName(link->errorString()));
    } else {
        ending = co_await runWork(*link);
        link->close();
    }
    end(ending);
}

async::Task<Ending> ScaleJob::runWork(Link& link) {
    Wire wire(link, clock_, &abort_);
    wire.setLog(lineLog_);
    if (const auto* download = std::get_if<DownloadWork>(&work_)) {
        const Ending ending = co_await runDownload(wire, *download);
        co_return ending;
    }
    if (const auto* upload = std::get_if<UploadWork>(&work_)) {
        const Ending ending = co_await runUpload(wire, *upload);
        co_return ending;
    }
    if (const auto* compare = std::get_if<CompareWork>(&work_)) {
        const Ending ending = co_await runCompare(wire, *compare);
        co_return ending;
    }
    const Ending ending = co_await runDisplay(wire);
    co_return ending;
}

async::Task<Ending> ScaleJob::runDownload(Wire& wire, const DownloadWork& work) {
    result_.rowsTotal = int(work.plan.rows.size());
    DownloadChecks checks = work.checks;
    if (checks.scaleName.isEmpty())
        checks.scaleName = scale_.name;
    download_ = co_await runCheckedDownload(work.plan, wire, std::move(checks), events());
    co_return download_.ending;
}

async::Task<Ending> ScaleJob::runUpload(Wire& wire, const UploadWork& work) {
    uploaded_ = std::make_unique<PluTable>(); // 601 records: too big for a frame
    UploadEngine engine(wire, *uploaded_, events(), [this] { Q_EMIT uploadTableReplaced(); });
    upload_ = co_await engine.run(work.selection);
    co_return upload_.ending;
}

async::Task<Ending> ScaleJob::runCompare(Wire& wire, const CompareWork& work) {
    QList<int> numbers;
    for (int row = 1; row <= work.table->count; ++row)
        numbers.append(work.table->records[row].PluNo);
    ExchangeEvents reading = events();
    reading.progress = {}; // the read has no row count to show
    const ScaleReadBack read =
        co_await readBackPlus(wire, true, std::move(numbers), std::move(reading));
    if (!read.complete())
        co_return read.ending; // the upload's own text says why
    differences_ = comparePlus(*work.table, read);
    endText_ = compareSummary(differences_);
    co_return Ending{};
}

async::Task<Ending> ScaleJob::runDisplay(Wire& wire) {
    const DisplayReadResult read = co_await readDisplay(wire);
    showsValues_ = read.showValues();
    display_ = read.values;
    switch (read.ending.outcome) {
    case Outcome::Done:
        endText_ = QStringLiteral("%1 %2 %3")
                       .arg(display_.weight)
                       .arg(display_.unitPrice)
                       .arg(display_.totalPrice);
        break;
    case Outcome::PortLost:
        endText_ = transfer_texts::kStopped.arg(wire.link().name(), read.ending.reason);
        break;
    case Outcome::Cancelled:
        endText_ = transfer_texts::kCancelled;
        break;
    default:
        endText_ = QStringLiteral("the scale ") + read.ending.reason;
        break;
    }
    co_return read.ending;
}
