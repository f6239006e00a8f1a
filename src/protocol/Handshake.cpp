#include "protocol/Handshake.h"

#include "protocol/ScaleBytes.h"
#include "serial/Link.h"

using namespace transfer_texts;

Handshake::Handshake(Wire& wire, int retryLimit, StatusSink status)
    : wire_(wire), retryLimit_(retryLimit), status_(std::move(status)) {}

void Handshake::restart() {
    retries_ = 0;
    ending_ = Ending::Running;
    error_.clear();
}

void Handshake::show(const QString& text) const {
    if (status_)
        status_(text);
}

Opening Handshake::open(quint8 command) {
    const auto sync = ask(scale_bytes::kSync);
    if (!sync)
        return Opening::Interrupted;
    if (sync->value != scale_bytes::kSyncAnswer)
        return Opening::SyncFailed;
    const auto answer = ask(command);
    if (!answer)
        return Opening::Interrupted;
    return answer->value == scale_bytes::kCommandAnswer ? Opening::Ready : Opening::CommandFailed;
}

bool Handshake::carry(WireStatus status) {
    switch (status) {
    case WireStatus::Ok:
    case WireStatus::TimedOut:
    case WireStatus::OutOfRange:
        return true;
    case WireStatus::Aborted:
        ending_ = Ending::Cancelled;
        error_ = wire_.errorText();
        show(kCancelled);
        return false;
    case WireStatus::LinkFailed:
        ending_ = Ending::LinkFailed;
        error_ = wire_.errorText();
        show(kStopped.arg(wire_.link().name(), error_));
        return false;
    }
    return false;
}

bool Handshake::retry(Recovery recovery, int pauseMs) {
    if (++retries_ > retryLimit_) {
        ending_ = Ending::GaveUp;
        return false;
    }
    show(kRetry + QString::number(retries_));
    return recover(recovery, pauseMs);
}

bool Handshake::recover(Recovery recovery, int pauseMs) {
    switch (recovery) {
    case Recovery::None:
        return true;
    case Recovery::Reopen:
        return carry(wire_.reopen());
    case Recovery::PauseThenReopen:
        return carry(wire_.pause(pauseMs)) && carry(wire_.reopen());
    case Recovery::ReopenThenPause:
        return carry(wire_.reopen()) && carry(wire_.pause(pauseMs));
    }
    return true;
}
