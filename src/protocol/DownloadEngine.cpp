#include "protocol/DownloadEngine.h"

#include "protocol/ScaleBytes.h"
#include "serial/Wire.h"

namespace {

using namespace download_texts;

// Where a step left the row.
enum class Step {
    Next,     // go on with the row's next step
    Retry,    // start the row again at the sync
    Accepted, // the scale stored the row
    Ended,    // the download is over; the handshake says how
};

class DownloadRun {
public:
    DownloadRun(const DownloadPlan& plan, Wire& wire, ExchangeEvents events)
        : kind_(*plan.kind), recordSize_(plan.recordSize),
          handshake_(wire, wire.model().retries.downloadRetries, std::move(events)),
          pauseMs_(wire.model().retries.downloadPauseMs) {}

    Ending end() const { return handshake_.end(); } // a given-up row's failure text stays

    // True when the row was accepted; false when the download is over.
    async::Task<bool> sendRow(const DownloadRow& row) {
        handshake_.startRow();
        for (;;) {
            Step step = co_await open(row);
            if (step == Step::Next)
                step = co_await number(row);
            if (step == Step::Next)
                step = co_await record(row);
            if (step == Step::Accepted)
                co_return co_await accept(row);
            if (step == Step::Ended) {
                tell(row, false);
                co_return false;
            }
        }
    }

private:
    async::Task<Step> open(const DownloadRow& row) {
        const Opening opening = co_await handshake_.open(kind_.command);
        switch (opening) {
        case Opening::Ready:
            co_return Step::Next;
        case Opening::SyncFailed:
            handshake_.show(kind_.syncErrorText + QString::number(row.index));
            co_return co_await retry(Recovery::PauseThenReopen);
        case Opening::CommandFailed:
            handshake_.show(kCommandError);
            co_return co_await retry(Recovery::ReopenThenPause);
        case Opening::Interrupted:
            break;
        }
        co_return Step::Ended;
    }

    async::Task<Step> number(const DownloadRow& row) {
        Wire& wire = handshake_.wire();
        wire.setStep(LineStep::Number);
        const auto echo = co_await handshake_.reply(wire.TxInt(row.number), &Wire::RxInt);
        if (!echo)
            co_return Step::Ended;
        // A missing or unreadable echo is a wrong one, even for number 0.
        if (echo->ok() && echo->value == row.number)
            co_return Step::Next;
        handshake_.show(kind_.echoErrorText);
        // The scale now waits for a record; zero bytes complete it, one at a time.
        wire.setStep(LineStep::Record);
        for (int i = 0; i < recordSize_; ++i) {
            if (!handshake_.carry(wire.TxByte(0x00)))
                co_return Step::Ended;
        }
        co_return co_await retry(Recovery::None);
    }

    async::Task<Step> record(const DownloadRow& row) {
        Wire& wire = handshake_.wire();
        wire.setStep(LineStep::Record);
        const WireStatus sent = wire.TxBytes(row.record);
        wire.setStep(LineStep::Acknowledgement);
        const auto answer = co_await handshake_.reply(sent, &Wire::RxByte);
        if (!answer)
            co_return Step::Ended;
        if (answer->value == scale_bytes::kRecordAccepted)
            co_return Step::Accepted;
        handshake_.show(transfer_texts::kRecordError);
        co_return co_await retry(Recovery::ReopenThenPause);
    }

    async::Task<bool> accept(const DownloadRow& row) {
        tell(row, true);
        handshake_.show(kind_.acceptedText + QString::number(row.index) + kTransfered);
        const WireStatus reopened = co_await handshake_.wire().reopen();
        co_return handshake_.carry(reopened);
    }

    void tell(const DownloadRow& row, bool accepted) const {
        if (handshake_.events().row)
            handshake_.events().row(
                {row.index, row.number, row.record, row.fields, accepted, handshake_.rowRetries()});
    }

    async::Task<Step> retry(Recovery recovery) {
        const bool again = co_await handshake_.retry(recovery, pauseMs_);
        co_return again ? Step::Retry : Step::Ended;
    }

    const DownloadKind& kind_;
    int recordSize_;
    Handshake handshake_;
    int pauseMs_;
};

} // namespace

async::Task<Ending> runDownload(const DownloadPlan& plan, Wire& wire, ExchangeEvents events) {
    if (plan.refused() || !plan.kind) {
        events.show(plan.refusal);
        co_return Ending{Outcome::Refused, plan.refusal};
    }
    const int total = int(plan.rows.size());
    const ProgressSink progress = events.progress;
    if (progress)
        progress(0, total);
    const StatusSink status = events.status;
    DownloadRun run(plan, wire, std::move(events));
    for (int done = 0; done < total; ++done) {
        const bool accepted = co_await run.sendRow(plan.rows[done]);
        if (!accepted)
            co_return run.end();
        if (progress)
            progress(done + 1, total);
    }
    if (status)
        status(kTheEnd);
    co_return Ending{};
}
