#include "protocol/UploadEngine.h"

#include "protocol/PluWireRecord.h"
#include "protocol/ScaleBytes.h"
#include "serial/Link.h"
#include "serial/Wire.h"

using namespace scale_bytes;

namespace {

// Offsets in the 77-byte upload reply.
constexpr int kEchoOffset = 0;
constexpr int kPluNoOffset = 2;
constexpr int kRecordOffset = 4;
constexpr int kEndOffset = 76;

bool interrupts(WireStatus status) {
    return status == WireStatus::LinkFailed || status == WireStatus::Aborted;
}

} // namespace

// How one pass through the steps of a number ended.
struct UploadEngine::Attempt {
    enum class Kind { Received, NotHeld, Failed, Interrupted };

    Kind kind = Kind::Failed;
    QString failure; // the status text of a failed step
    Recovery recovery = Recovery::None;
    qint64 pauseMs = 0;
    WireStatus interruption = WireStatus::Ok;
    PluRecord record; // for Received

    static Attempt failed(const QString& text, Recovery recovery, qint64 pauseMs = 0) {
        Attempt a;
        a.failure = text;
        a.recovery = recovery;
        a.pauseMs = pauseMs;
        return a;
    }
    static Attempt interruptedBy(WireStatus status) {
        Attempt a;
        a.kind = Kind::Interrupted;
        a.interruption = status;
        return a;
    }
};

UploadEngine::UploadEngine(Wire& wire, PluTable& table, UploadReporting reporting)
    : m_wire(wire), m_table(table), m_reporting(std::move(reporting)) {}

void UploadEngine::show(const QString& text) const {
    if (m_reporting.status)
        m_reporting.status(text);
}

UploadResult UploadEngine::run(const UploadSelection& selection) {
    UploadResult result;
    int first = 1;
    int last = kLastPluNo;
    if (selection.onePlu) {
        const NumberConversion number = toInt16(selection.onePluNoText);
        if (!number.ok || number.value < 1 || number.value > kLastPluNo) {
            show(QStringLiteral("PLU No is not valid"));
            return result;
        }
        first = last = number.value;
    }
    result.first = first;
    m_first = first;
    m_replaced = false;
    m_error.clear();

    Ending ending = Ending::Received;
    for (int n = first; n <= last && ending == Ending::Received; ++n) {
        if (m_reporting.progress)
            m_reporting.progress(n - first + 1, last - first + 1);
        ending = exchange(n);
    }

    result.tableReplaced = m_replaced;
    result.error = m_error;
    switch (ending) {
    case Ending::Received:
        result.outcome = UploadOutcome::Completed;
        break;
    case Ending::NotHeld:
        result.outcome = UploadOutcome::NotHeld;
        break;
    case Ending::Aborted:
        result.outcome = UploadOutcome::Aborted;
        break;
    case Ending::LinkFailed:
        result.outcome = UploadOutcome::LinkFailed;
        break;
    case Ending::Cancelled:
        result.outcome = UploadOutcome::Cancelled;
        break;
    }
    return result;
}

UploadEngine::Ending UploadEngine::exchange(int n) {
    int retries = 0;
    for (;;) {
        const Attempt attempt = this->attempt(n);
        switch (attempt.kind) {
        case Attempt::Kind::Received: {
            replaceTableOnce();
            m_table.records[n] = attempt.record;
            ++m_table.count;
            listReceived(n);
            show(QStringLiteral("plu#") + decimalText(n) + QStringLiteral(" is received"));
            const WireStatus reopened = m_wire.reopen();
            if (reopened != WireStatus::Ok)
                return interrupted(reopened);
            return Ending::Received;
        }
        case Attempt::Kind::NotHeld:
            replaceTableOnce();
            show(QStringLiteral("PLU is not exist"));
            return Ending::NotHeld;
        case Attempt::Kind::Interrupted:
            return interrupted(attempt.interruption);
        case Attempt::Kind::Failed:
            break;
        }

        show(attempt.failure);
        if (++retries > kRetryLimit)
            return Ending::Aborted; // the failure's text stays on the panel
        show(QStringLiteral("Retry #") + decimalText(retries));
        Ending ending = Ending::Received;
        if (!recover(attempt.recovery, attempt.pauseMs, ending))
            return ending;
    }
}

UploadEngine::Attempt UploadEngine::attempt(int n) {
    // A. Sync.
    if (const WireStatus sent = m_wire.TxByte(kSync); sent != WireStatus::Ok)
        return Attempt::interruptedBy(sent);
    const Received<quint8> syncAnswer = m_wire.RxByte();
    if (interrupts(syncAnswer.status))
        return Attempt::interruptedBy(syncAnswer.status);
    if (syncAnswer.value != kSyncAnswer)
        return Attempt::failed(QStringLiteral("Sync error"), Recovery::PauseThenReopen,
                               kSyncRetryPauseMs);

    // B. Upload command.
    if (const WireStatus sent = m_wire.TxByte(kPluUpload); sent != WireStatus::Ok)
        return Attempt::interruptedBy(sent);
    const Received<quint8> commandAnswer = m_wire.RxByte();
    if (interrupts(commandAnswer.status))
        return Attempt::interruptedBy(commandAnswer.status);
    if (commandAnswer.value != kCommandAnswer)
        return Attempt::failed(QStringLiteral("Upload command error"), Recovery::ReopenThenPause,
                               kCommandRetryPauseMs);

    // C. The number, then a reply of exactly 77 bytes: more or fewer are no reply.
    if (const WireStatus sent = m_wire.TxInt(n); sent != WireStatus::Ok)
        return Attempt::interruptedBy(sent);
    const Received<QByteArray> reply = m_wire.receiveExactly(kUploadReplySize, kReplyLimitMs);
    if (interrupts(reply.status))
        return Attempt::interruptedBy(reply.status);
    if (!reply.ok())
        return Attempt::failed(QStringLiteral("Receive PLU time out"), Recovery::Reopen);

    const QByteArray& bytes = reply.value;

    // D. A reply for another number means the scale does not hold this one.
    if (bigEndianValue(bytes, kEchoOffset, 2) != quint32(n)) {
        Attempt notHeld;
        notHeld.kind = Attempt::Kind::NotHeld;
        return notHeld;
    }

    // E. The end byte, then the fields. The reply has been taken whole, so nothing is left
    // in the buffer and the retry needs no reopen. Both failures are counted, so a scale
    // that keeps sending bad replies cannot keep the upload going for ever.
    if (quint8(bytes.at(kEndOffset)) != kRecordAccepted)
        return Attempt::failed(QStringLiteral("SyncOK error"), Recovery::None);
    const quint32 pluNo = bigEndianValue(bytes, kPluNoOffset, 2);
    const plu_wire::Decoded decoded = plu_wire::decode(bytes.mid(kRecordOffset, plu_wire::kSize));
    if (pluNo > 32767 || !decoded.ok())
        return Attempt::failed(QStringLiteral("PLU data is not valid"), Recovery::None);

    Attempt received;
    received.kind = Attempt::Kind::Received;
    received.record = decoded.record;
    received.record.PluNo = qint16(pluNo);
    return received;
}

UploadEngine::Ending UploadEngine::interrupted(WireStatus status) {
    m_error = m_wire.errorText();
    if (status == WireStatus::Aborted) {
        show(QStringLiteral("Transfer cancelled"));
        return Ending::Cancelled;
    }
    show(QStringLiteral("Transfer stopped on port %1: %2").arg(m_wire.link().name(), m_error));
    return Ending::LinkFailed;
}

bool UploadEngine::recover(Recovery recovery, qint64 pauseMs, Ending& ending) {
    auto step = [&](WireStatus status) {
        if (status == WireStatus::Ok)
            return true;
        ending = interrupted(status);
        return false;
    };
    switch (recovery) {
    case Recovery::None:
        return true;
    case Recovery::PauseThenReopen:
        return step(m_wire.pause(pauseMs)) && step(m_wire.reopen());
    case Recovery::ReopenThenPause:
        return step(m_wire.reopen()) && step(m_wire.pause(pauseMs));
    case Recovery::Reopen:
        return step(m_wire.reopen());
    }
    return true;
}

// Only an accepted reply empties the table: a reply then refused ("SyncOK error", "PLU data
// is not valid") may be all the scale ever sends, and must not cost the operator the table.
void UploadEngine::replaceTableOnce() {
    if (m_replaced)
        return;
    m_replaced = true;
    m_table.reset();
    m_table.count = 0;
    if (m_reporting.tableReplaced)
        m_reporting.tableReplaced();
}

// Row 1 holds the first number asked for, and so on; the grid fills as the records come.
void UploadEngine::listReceived(int n) {
    const int row = n - m_first + 1;
    if (row >= m_table.grid.rows())
        return;
    const QVector<FieldSpec>& fields = PluRecord::kind().fields;
    const PluRecord& record = m_table.records[n];
    m_table.grid.setText(row, 0, decimalText(n));
    for (int f = 0; f < fields.size() && f + 1 < m_table.grid.cols(); ++f)
        m_table.grid.setText(row, f + 1,
                             fields[f].kind == FieldKind::Text ? record.text(f)
                                                               : decimalText(record.number(f)));
}
