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

DisplayReadResult readDisplay(Wire& wire) {
    Handshake handshake(wire, 0); // a failed read is not retried

    const auto answer = handshake.ask(scale_bytes::kSync);
    if (!answer)
        return interrupted(handshake);
    if (answer->value != scale_bytes::kSyncAnswer) {
        DisplayReadResult noSync;
        if (answer->ok())
            noSync.syncAnswer = answer->value;
        return noSync;
    }

    if (!handshake.carry(wire.TxByte(scale_bytes::kDisplayRead)))
        return interrupted(handshake);
    quint32 weight = 0;
    quint32 unitPrice = 0;
    quint32 totalPrice = 0;
    const WireStatus received = wire.RxFip(weight, unitPrice, totalPrice);
    if (!handshake.carry(received))
        return interrupted(handshake);

    DisplayReadResult result;
    result.outcome =
        received == WireStatus::Ok ? DisplayReadOutcome::Shown : DisplayReadOutcome::NoRecord;
    result.values = {weight, unitPrice, totalPrice};
    return result;
}
