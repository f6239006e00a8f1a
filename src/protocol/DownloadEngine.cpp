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
    DownloadRun(const DownloadPlan& plan, Wire& wire, const StatusSink& status)
        : kind_(*plan.kind), recordSize_(plan.recordSize),
          handshake_(wire, wire.model().retries.downloadRetries, status),
          pauseMs_(wire.model().retries.downloadPauseMs) {}

    DownloadOutcome outcome() const {
        switch (handshake_.ending()) {
        case Handshake::Ending::Running:
            return DownloadOutcome::Finished;
        case Handshake::Ending::GaveUp:
            return DownloadOutcome::GaveUp; // the failure's own text stays
        case Handshake::Ending::LinkFailed:
            return DownloadOutcome::LinkFailed;
        case Handshake::Ending::Cancelled:
            return DownloadOutcome::Cancelled;
        }
        return DownloadOutcome::Finished;
    }

    // True when the row was accepted; false when the download is over.
    bool sendRow(const DownloadRow& row) {
        handshake_.startRow();
        for (;;) {
            Step step = open(row);
            if (step == Step::Next)
                step = number(row);
            if (step == Step::Next)
                step = record(row);
            if (step == Step::Accepted)
                return accept(row);
            if (step == Step::Ended)
                return false;
        }
    }

private:
    Step open(const DownloadRow& row) {
        switch (handshake_.open(kind_.command)) {
        case Opening::Ready:
            return Step::Next;
        case Opening::SyncFailed:
            handshake_.show(kind_.syncErrorText + QString::number(row.index));
            return retry(Recovery::PauseThenReopen);
        case Opening::CommandFailed:
            handshake_.show(kCommandError);
            return retry(Recovery::ReopenThenPause);
        case Opening::Interrupted:
            break;
        }
        return Step::Ended;
    }

    Step number(const DownloadRow& row) {
        Wire& wire = handshake_.wire();
        const auto echo = handshake_.reply(wire.TxInt(row.number), &Wire::RxInt);
        if (!echo)
            return Step::Ended;
        // A missing or unreadable echo is a wrong one, even for number 0.
        if (echo->ok() && echo->value == row.number)
            return Step::Next;
        handshake_.show(kind_.echoErrorText);
        // The scale now waits for a record; zero bytes complete it, one at a time.
        for (int i = 0; i < recordSize_; ++i) {
            if (!handshake_.carry(wire.TxByte(0x00)))
                return Step::Ended;
        }
        return retry(Recovery::None);
    }

    Step record(const DownloadRow& row) {
        Wire& wire = handshake_.wire();
        const auto answer = handshake_.reply(wire.TxBytes(row.record), &Wire::RxByte);
        if (!answer)
            return Step::Ended;
        if (answer->value == scale_bytes::kRecordAccepted)
            return Step::Accepted;
        handshake_.show(transfer_texts::kRecordError);
        return retry(Recovery::ReopenThenPause);
    }

    bool accept(const DownloadRow& row) {
        handshake_.show(kind_.acceptedText + QString::number(row.index) + kTransfered);
        return handshake_.carry(handshake_.wire().reopen());
    }

    Step retry(Recovery recovery) {
        return handshake_.retry(recovery, pauseMs_) ? Step::Retry : Step::Ended;
    }

    const DownloadKind& kind_;
    int recordSize_;
    Handshake handshake_;
    int pauseMs_;
};

} // namespace

DownloadOutcome runDownload(const DownloadPlan& plan, Wire& wire, const StatusSink& status,
                            const ProgressSink& progress) {
    if (plan.refused() || !plan.kind) {
        if (status)
            status(plan.refusal);
        return DownloadOutcome::Refused;
    }
    const int total = int(plan.rows.size());
    if (progress)
        progress(0, total);
    DownloadRun run(plan, wire, status);
    for (int done = 0; done < total; ++done) {
        if (!run.sendRow(plan.rows[done]))
            return run.outcome();
        if (progress)
            progress(done + 1, total);
    }
    if (status)
        status(kTheEnd);
    return DownloadOutcome::Finished;
}
