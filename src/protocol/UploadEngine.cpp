#include "protocol/UploadEngine.h"

#include "protocol/PluWireRecord.h"
#include "protocol/ScaleBytes.h"
#include "serial/Wire.h"

#include <algorithm>

using namespace scale_bytes;

UploadEngine::UploadEngine(Wire& wire, PluTable& table, UploadReporting reporting)
    : wire_(wire), model_(wire.model()), table_(table), reporting_(std::move(reporting)),
      handshake_(wire, model_.retries.uploadRetries, reporting_.status) {}

void UploadEngine::show(const QString& text) const {
    handshake_.show(text);
}

async::Task<UploadResult> UploadEngine::run(UploadSelection selection) {
    UploadResult result;
    // The scale's numbers, and never beyond the table's rows.
    const int lastNo = std::min(model_.pluCapacity, PluTable::kDataRows);
    int first = 1;
    int last = lastNo;
    if (selection.onePlu) {
        const NumberConversion number = toInt16(selection.onePluNoText);
        if (!number.ok || number.value < 1 || number.value > lastNo) {
            show(QStringLiteral("PLU No is not valid"));
            co_return result;
        }
        first = last = number.value;
    }
    result.first = first;
    first_ = first;
    replaced_ = false;
    handshake_.restart();

    UploadOutcome outcome = UploadOutcome::Completed;
    for (int n = first; n <= last && outcome == UploadOutcome::Completed; ++n) {
        if (reporting_.progress)
            reporting_.progress(n - first + 1, last - first + 1);
        outcome = co_await exchange(n);
    }
    result.outcome = outcome;
    result.tableReplaced = replaced_;
    result.error = handshake_.error();
    co_return result;
}

// Completed when number n was received; any other outcome ends the upload.
async::Task<UploadOutcome> UploadEngine::exchange(int n) {
    handshake_.startRow();
    for (;;) {
        const std::optional<UploadOutcome> outcome = co_await attempt(n);
        if (outcome)
            co_return *outcome;
    }
}

// One pass through the steps for number n: its outcome, or nothing to try again.
async::Task<std::optional<UploadOutcome>> UploadEngine::attempt(int n) {
    // A, B. Sync and the upload command.
    const Opening opening = co_await handshake_.open(kPluUpload);
    switch (opening) {
    case Opening::Ready:
        break;
    case Opening::SyncFailed:
        co_return co_await retry(QStringLiteral("Sync error"), Recovery::PauseThenReopen,
                                 model_.retries.uploadSyncPauseMs);
    case Opening::CommandFailed:
        co_return co_await retry(QStringLiteral("Upload command error"), Recovery::ReopenThenPause,
                                 model_.retries.uploadCommandPauseMs);
    case Opening::Interrupted:
        co_return ended();
    }

    // C. The number, then a reply of exactly the reply size: more or fewer are no reply.
    wire_.setStep(LineStep::Number);
    if (!handshake_.carry(wire_.TxInt(n)))
        co_return ended();
    wire_.setStep(LineStep::Reply);
    const Received<QByteArray> reply =
        co_await wire_.receiveExactly(model_.uploadReplySize, model_.limits.uploadReplyMs);
    if (!handshake_.carry(reply.status))
        co_return ended();
    if (!reply.ok())
        co_return co_await retry(QStringLiteral("Receive PLU time out"), Recovery::Reopen);

    const QByteArray& bytes = reply.value;
    const scale::UploadReplyLayout& at = model_.uploadReply;

    // D. A reply for another number means the scale does not hold this one.
    if (bigEndianValue(bytes, at.echo, 2) != quint32(n)) {
        replaceTableOnce();
        show(QStringLiteral("PLU is not exist"));
        co_return UploadOutcome::NotHeld;
    }

    // E. The end byte, then the fields. The reply has been taken whole, so nothing is left
    // in the buffer and the retry needs no reopen. Both failures are counted, so a scale
    // that keeps sending bad replies cannot keep the upload going for ever.
    if (quint8(bytes.at(model_.uploadReplyEnd())) != kRecordAccepted)
        co_return co_await retry(transfer_texts::kRecordError, Recovery::None);
    const int pluNo = int(bigEndianValue(bytes, at.pluNo, 2));
    const plu_wire::Decoded decoded =
        plu_wire::decode(bytes.mid(at.record, model_.pluRecordSize), model_);
    if (pluNo > model_.largestNumber || !decoded.ok())
        co_return co_await retry(QStringLiteral("PLU data is not valid"), Recovery::None);

    PluRecord record = decoded.record;
    record.PluNo = qint16(pluNo);
    co_return co_await store(n, record);
}

async::Task<UploadOutcome> UploadEngine::store(int n, PluRecord record) {
    replaceTableOnce();
    table_.records[n] = record;
    ++table_.count;
    listReceived(n);
    show(QStringLiteral("plu#") + decimalText(n) + QStringLiteral(" is received"));
    const WireStatus reopened = co_await wire_.reopen();
    co_return handshake_.carry(reopened) ? UploadOutcome::Completed : ended();
}

// The failure's text, then a counted retry; once the retries are spent its text stays.
async::Task<std::optional<UploadOutcome>> UploadEngine::retry(const QString& failure,
                                                              Recovery recovery, int pauseMs) {
    show(failure);
    const bool again = co_await handshake_.retry(recovery, pauseMs);
    if (again)
        co_return std::nullopt;
    co_return ended();
}

UploadOutcome UploadEngine::ended() const {
    switch (handshake_.ending()) {
    case Handshake::Ending::GaveUp:
        return UploadOutcome::Aborted;
    case Handshake::Ending::Cancelled:
        return UploadOutcome::Cancelled;
    case Handshake::Ending::LinkFailed:
    case Handshake::Ending::Running: // not reached: every caller saw the handshake end
        break;
    }
    return UploadOutcome::LinkFailed;
}

// Only an accepted reply empties the table: a reply then refused ("SyncOK error", "PLU data
// is not valid") may be all the scale ever sends, and must not cost the operator the table.
void UploadEngine::replaceTableOnce() {
    if (replaced_)
        return;
    replaced_ = true;
    table_.reset();
    table_.count = 0;
    if (reporting_.tableReplaced)
        reporting_.tableReplaced();
}

// Row 1 holds the first number asked for, and so on; the grid fills as the records come.
void UploadEngine::listReceived(int n) {
    const int row = n - first_ + 1;
    if (row >= table_.grid.rows())
        return;
    const QVector<FieldSpec>& fields = PluRecord::kind().fields;
    const PluRecord& record = table_.records[n];
    table_.grid.setText(row, 0, decimalText(n));
    for (int f = 0; f < fields.size() && f + 1 < table_.grid.cols(); ++f)
        table_.grid.setText(row, f + 1,
                            fields[f].kind == FieldKind::Text ? record.text(f)
                                                              : decimalText(record.number(f)));
}
