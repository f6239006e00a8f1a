#include "protocol/DisplayRead.h"

#include "protocol/Handshake.h"
#include "protocol/ScaleBytes.h"

namespace {

DisplayReadResult ended(const Handshake& handshake) {
    DisplayReadResult result;
    result.ending = handshake.end();
    return result;
}

// What the scale did instead of answering the sync with 0x77.
QString syncFailure(std::optional<quint8> answer) {
    if (!answer)
        return QStringLiteral("did not answer the sync with one byte within a second");
    const QString hex = QString::number(*answer, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    return QStringLiteral("answered the sync with 0x%1, not 0x77").arg(hex);
}

} // namespace

async::Task<DisplayReadResult> readDisplay(Wire& wire) {
    Handshake handshake(wire, 0); // a failed read is not retried

    wire.setStep(LineStep::Sync);
    const auto answer = co_await handshake.ask(scale_bytes::kSync);
    if (!answer)
        co_return ended(handshake);
    if (answer->value != scale_bytes::kSyncAnswer) {
        DisplayReadResult noSync;
        if (answer->ok())
            noSync.syncAnswer = answer->value;
        noSync.ending.reason = syncFailure(noSync.syncAnswer);
        co_return noSync;
    }

    wire.setStep(LineStep::Command);
    if (!handshake.carry(wire.TxByte(scale_bytes::kDisplayRead)))
        co_return ended(handshake);
    wire.setStep(LineStep::Reply); // the display record answers the command
    quint32 weight = 0;
    quint32 unitPrice = 0;
    quint32 totalPrice = 0;
    const WireStatus received = co_await wire.RxFip(weight, unitPrice, totalPrice);
    if (!handshake.carry(received))
        co_return ended(handshake);

    DisplayReadResult result;
    result.values = {weight, unitPrice, totalPrice};
    if (received == WireStatus::Ok) {
        result.ending = {};
    } else {
        result.recordMissing = true;
        result.ending.reason =
            QStringLiteral("answered but sent no display record within %1 seconds")
                .arg(wire.model().limits.displayRecordMs / 1000.0);
    }
    co_return result;
}
