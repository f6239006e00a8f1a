#include "protocol/DisplayRead.h"

#include "protocol/ScaleBytes.h"
#include "serial/Wire.h"

namespace {

DisplayReadResult interrupted(WireStatus status, const Wire& wire) {
    DisplayReadResult result;
    result.outcome = status == WireStatus::Aborted ? DisplayReadOutcome::Aborted
                                                   : DisplayReadOutcome::LinkFailed;
    result.error = wire.errorText();
    return result;
}

bool interrupts(WireStatus status) {
    return status == WireStatus::LinkFailed || status == WireStatus::Aborted;
}

} // namespace

DisplayReadResult readDisplay(Wire& wire) {
    quint32 weight = 0;
    quint32 unitPrice = 0;
    quint32 totalPrice = 0;

    if (const WireStatus sent = wire.TxByte(scale_bytes::kSync); sent != WireStatus::Ok)
        return interrupted(sent, wire);
    const Received<quint8> answer = wire.RxByte();
    if (interrupts(answer.status))
        return interrupted(answer.status, wire);
    if (answer.value != scale_bytes::kSyncAnswer) {
        DisplayReadResult noSync;
        if (answer.ok())
            noSync.syncAnswer = answer.value;
        return noSync;
    }

    if (const WireStatus sent = wire.TxByte(scale_bytes::kDisplayRead); sent != WireStatus::Ok)
        return interrupted(sent, wire);
    const WireStatus received = wire.RxFip(weight, unitPrice, totalPrice);
    if (interrupts(received))
        return interrupted(received, wire);

    DisplayReadResult result;
    result.outcome =
        received == WireStatus::Ok ? DisplayReadOutcome::Shown : DisplayReadOutcome::NoRecord;
    result.values = {weight, unitPrice, totalPrice};
    return result;
}
