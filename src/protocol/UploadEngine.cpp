#include "protocol/UploadEngine.h"

#include "protocol/PluWireRecord.h"
#include "protocol/ScaleBytes.h"
#include "serial/Wire.h"

#include <algorithm>

using namespace scale_bytes;

UploadEngine::UploadEngine(Wire& wire, PluTable& table, ExchangeEvents events,
                           std::function<void()> tableReplaced)
    : wire_(wire), model_(wire.model()), table_(table), tableReplaced_(std::move(tableReplaced)),
      handshake_(wire, model_.retries.uploadRetries, std::move(events)) {}

async::Task<UploadResult> UploadEngine::run(UploadSelection selection) {
    UploadResult result;
    // The scale's numbers, and never beyond the table's rows.
    const int lastNo = std::min(model_.pluCapacity, PluTable::kDataRows);
    int first = 1;
    int last = lastNo;
    if (selection.onePlu) {
        const NumberConversion number = toInt16(selection.onePluNoText);
        if (!number.ok || number.value < 1 || number.value > lastNo) {
            handshake_.show(QStringLiteral("PLU No is not valid"));
            result.ending.reason = QStringLiteral("PLU No is not valid");
            co_return result;
        }
        first = last = number.value;
    }
    result.first = first;
    first_ = first;
    replaced_ = false;
    handshake_.restart();

    const ProgressSink& progress = handshake_.events().progress;
    Step step = Step::Received;
    for (int n = first; n <= last && step == Step::Received; ++n) {
        if (progress)
            progress(n - first + 1, last - first + 1);
        step = co_await exchange(n);
    }
    result.ending = handshake_.end();
    result.endedAtMissing = step == Step::Missing;
    result.tableReplaced = replaced_;
    co_return result;
}

// Received when number n was received; anything else ends the upload.
async::Task<UploadEngine::Step> UploadEngine::exchange(int n) {
    asking_ = n;
    handshake_.startRow();
    for (;;) {
        const std::optional<Step> step = co_await attempt(n);
        if (step)
            co_return *step;
    }
}

// One pass through the steps for number n: where it left the upload, or nothing to try again.
async::Task<std::optional<UploadEngine::Step>> UploadEngine::attempt(int n) {
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
        tell(n, {}, nullptr, true);
        handshake_.show(QStringLiteral("PLU is not exist"));
        co_return Step::Missing;
    }

    // E. The end byte, then the fields. The reply has been taken whole, so nothing is left
    // in the buffer and the retry needs no reopen. Both failures are counted, so a scale
    // that keeps sending bad replies cannot keep the upload going for ever.
    if (quint8(bytes.at(model_.uploadReplyEnd())) != kRecordAccepted)
        co_return co_await retry(transfer_texts::kRecordError, Recovery::None);
    const int pluNo = int(bigEndianValue(bytes, at.pluNo, 2));
    const QByteArray wireRecord = bytes.mid(at.record, model_.pluRecordSize);
    const plu_wire::Decoded decoded = plu_wire::decode(wireRecord, model_);
    if (pluNo > model_.largestNumber || !decoded.ok())
        co_return co_await retry(QStringLiteral("PLU data is not valid"), Recovery::None);

    PluRecord record = decoded.record;
    record.PluNo = qint16(pluNo);
    co_return co_await store(n, std::move(record), wireRecord);
}

async::Task<UploadEngine::Step> UploadEngine::store(int n, PluRecord record,
                                                    QByteArray wireRecord) {
    replaceTableOnce();
    table_.records[n] = record;
    ++table_.count;
    listReceived(n);
    tell(n, wireRecord, &record, true);
    handshake_.show(QStringLiteral("plu#") + decimalText(n) + QStringLiteral(" is received"));
    const WireStatus reopened = co_await wire_.reopen();
    if (!handshake_.carry(reopened))
        co_return Step::Ended; // the number itself was received and told
    co_return Step::Received;
}

// The failure's text, then a counted retry; once the retries are spent its text stays.
async::Task<std::optional<UploadEngine::Step>> UploadEngine::retry(const QString& failure,
                                                                   Recovery recovery, int pauseMs) {
    handshake_.show(failure);
    const bool again = co_await handshake_.retry(recovery, pauseMs);
    if (again)
        co_return std::nullopt;
    co_return ended();
}

// The upload ended on the number asked for, without an answer for it.
UploadEngine::Step UploadEngine::ended() {
    tell(asking_, {}, nullptr, false);
    return Step::Ended;
}

void UploadEngine::tell(int n, const QByteArray& wireRecord, const PluRecord* record,
                        bool answered) const {
    if (const auto& row = handshake_.events().row)
        row({0, n, wireRecord, record ? fieldTexts(*record) : QStringList(), answered,
             handshake_.rowRetries()});
}

// Only an accepted reply empties the table: a reply then refused ("SyncOK error", "PLU data
// is not valid") may be all the scale ever sends, and must not cost the operator the table.
void UploadEngine::replaceTableOnce() {
    if (replaced_)
        return;
    replaced_ = true;
    table_.reset();
    table_.count = 0;
    if (tableReplaced_)
        tableReplaced_();
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
