#include "protocol/DisplayRead.h"

#include "protocol/Handshake.h"
#include "protocol/ScaleBytes.h"

namespace {

// The display read shows no texts of its own: its caller reports how it ended.
DisplayReadResult interrupted(const Handshake& handshake) {
    DisplayReadResult result;
    result.outcome = handshake.ending() == Handshake::Ending::Cancelled
                         ? DisplayReadOutcome::Aborted
                         : DisplayReadOutcome::LinkFailed;
    result.error = handshake.error();
    return result;
}

} // namespace

QString syncFailureText(const DisplayReadResult& result) {
    if (!result.syncAnswer)
        return QStringLiteral("did not answer the sync with one byte within a second");
    const QString hex =
        QString::number(*result.syncAnswer, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    return QStringLiteral("answered the sync with 0x%1, not 0x77").arg(hex);
}

async::Task<DisplayReadResult> readDisplay(Wire& wire) {
    Handshake handshake(wire, 0); // a failed read is not retried

    wire.setStep(LineStep::Sync);
    const auto answer = co_await handshake.ask(scale_bytes::kSync);
    if (!answer)
        co_return interrupted(handshake);
    if (answer->value != scale_bytes::kSyncAnswer) {
        DisplayReadResult noSync;
        if (answer->ok())
            noSync.syncAnswer = answer->value;
        co_return noSync;
    }

    wire.setStep(LineStep::Command);
    if (!handshake.carry(wire.TxByte(scale_bytes::kDisplayRead)))
        co_return interrupted(handshake);
    wire.setStep(LineStep::Reply); // the display record answers the command
    quint32 weight = 0;
    quint32 unitPrice = 0;
    quint32 totalPrice = 0;
    const WireStatus received = co_await wire.RxFip(weight, unitPrice, totalPrice);
    if (!handshake.carry(received))
        co_return interrupted(handshake);

    DisplayReadResult result;
    result.outcome =
        received == WireStatus::Ok ? DisplayReadOutcome::Shown : DisplayReadOutcome::NoRecord;
    result.values = {weight, unitPrice, totalPrice};
    co_return result;
}
