#include "protocol/DownloadEngine.h"

#include "protocol/ScaleBytes.h"
#include "serial/Link.h"
#include "serial/Wire.h"

#include <optional>

namespace {

using namespace download_texts;
using download_timing::kMaxRetries;
using download_timing::kRetryPauseMs;

// How the port recovers before a retry.
enum class Recovery {
    PauseThenReopen, // after a sync failure
    ReopenThenPause, // after a command or record failure
    None,            // after a wrong echo: the zero bytes completed the frame
};

// Where a step left the row.
enum class Step {
    Next,     // go on with the row's next step
    Retry,    // start the row again at the sync
    Accepted, // the scale stored the row
    Ended,    // the download is over; `outcome` says how
};

class DownloadRun {
public:
    DownloadRun(const DownloadKind& kind, Wire& wire, const StatusSink& status)
        : m_kind(kind), m_wire(wire), m_status(status) {}

    DownloadOutcome outcome() const { return m_outcome; }

    // True when the row was accepted; false when the download is over.
    bool sendRow(const DownloadRow& row) {
        m_retries = 0;
        for (;;) {
            Step step = sync(row);
            if (step == Step::Next)
                step = command();
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
    Step sync(const DownloadRow& row) {
        const auto answer = sendAndReceive(scale_bytes::kSync);
        if (!answer)
            return Step::Ended;
        if (answer->value == scale_bytes::kSyncAnswer)
            return Step::Next;
        show(m_kind.syncErrorText + QString::number(row.index));
        return countedFailure(Recovery::PauseThenReopen);
    }

    Step command() {
        const auto answer = sendAndReceive(m_kind.command);
        if (!answer)
            return Step::Ended;
        if (answer->value == scale_bytes::kCommandAnswer)
            return Step::Next;
        show(kCommandError);
        return countedFailure(Recovery::ReopenThenPause);
    }

    Step number(const DownloadRow& row) {
        if (!carry(m_wire.TxInt(row.number)))
            return Step::Ended;
        const Received<qint16> echo = m_wire.RxInt();
        if (!carry(echo.status))
            return Step::Ended;
        // A missing or unreadable echo is a wrong one, even for number 0.
        if (echo.ok() && echo.value == row.number)
            return Step::Next;
        show(m_kind.echoErrorText);
        // The scale now waits for a record; zero bytes complete it, one at a time.
        for (int i = 0; i < m_kind.recordSize; ++i) {
            if (!carry(m_wire.TxByte(0x00)))
                return Step::Ended;
        }
        return countedFailure(Recovery::None);
    }

    Step record(const DownloadRow& row) {
        if (!carry(m_wire.TxBytes(row.record)))
            return Step::Ended;
        const Received<quint8> answer = m_wire.RxByte();
        if (!carry(answer.status))
            return Step::Ended;
        if (answer.value == scale_bytes::kRecordAccepted)
            return Step::Accepted;
        show(kRecordError);
        return countedFailure(Recovery::ReopenThenPause);
    }

    bool accept(const DownloadRow& row) {
        show(m_kind.acceptedText + QString::number(row.index) + kTransfered);
        return carry(m_wire.reopen());
    }

    Step countedFailure(Recovery recovery) {
        if (++m_retries > kMaxRetries) {
            m_outcome = DownloadOutcome::GaveUp; // the failure's own text stays
            return Step::Ended;
        }
        show(kRetry + QString::number(m_retries));
        bool ok = true;
        switch (recovery) {
        case Recovery::PauseThenReopen:
            ok = carry(m_wire.pause(kRetryPauseMs)) && carry(m_wire.reopen());
            break;
        case Recovery::ReopenThenPause:
            ok = carry(m_wire.reopen()) && carry(m_wire.pause(kRetryPauseMs));
            break;
        case Recovery::None:
            break;
        }
        return ok ? Step::Retry : Step::Ended;
    }

    // One byte out, one byte back; nothing when the link failed or the download was cancelled.
    std::optional<Received<quint8>> sendAndReceive(quint8 byte) {
        if (!carry(m_wire.TxByte(byte)))
            return std::nullopt;
        const Received<quint8> answer = m_wire.RxByte();
        if (!carry(answer.status))
            return std::nullopt;
        return answer;
    }

    // False, with the ending text shown, when `status` ends the download. A time-out or a
    // value out of range is an answer like any other: the caller compares it.
    bool carry(WireStatus status) {
        switch (status) {
        case WireStatus::Ok:
        case WireStatus::TimedOut:
        case WireStatus::OutOfRange:
            return true;
        case WireStatus::Aborted:
            m_outcome = DownloadOutcome::Cancelled;
            show(kCancelled);
            return false;
        case WireStatus::LinkFailed:
            m_outcome = DownloadOutcome::LinkFailed;
            show(QStringLiteral("Transfer stopped on port %1: %2")
                     .arg(m_wire.link().name(), m_wire.errorText()));
            return false;
        }
        return false;
    }

    void show(const QString& text) {
        if (m_status)
            m_status(text);
    }

    const DownloadKind& m_kind;
    Wire& m_wire;
    const StatusSink& m_status;
    int m_retries = 0;
    DownloadOutcome m_outcome = DownloadOutcome::Finished;
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
    DownloadRun run(*plan.kind, wire, status);
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
