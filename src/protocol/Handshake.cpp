#include "protocol/Handshake.h"

#include "protocol/ScaleBytes.h"
#include "serial/Link.h"

using namespace transfer_texts;

Handshake::Handshake(Wire& wire, int retryLimit, ExchangeEvents events)
    : wire_(wire), retryLimit_(retryLimit), events_(std::move(events)) {}

void Handshake::restart() {
    retries_ = 0;
    ending_.reset();
    reason_.clear();
}

void Handshake::show(const QString& text) {
    lastShown_ = text;
    events_.show(text);
}

bool Handshake::end(Outcome outcome, const QString& reason) {
    ending_ = outcome;
    reason_ = reason;
    return false;
}

async::Task<Opening> Handshake::open(quint8 command) {
    wire_.setStep(LineStep::Sync);
    const auto sync = co_await ask(scale_bytes::kSync);
    if (!sync)
        co_return Opening::Interrupted;
    if (sync->value != scale_bytes::kSyncAnswer)
        co_return Opening::SyncFailed;
    wire_.setStep(LineStep::Command);
    const auto answer = co_await ask(command);
    if (!answer)
        co_return Opening::Interrupted;
    co_return answer->value == scale_bytes::kCommandAnswer ? Opening::Ready
                                                           : Opening::CommandFailed;
}

bool Handshake::carry(WireStatus status) {
    switch (status) {
    case WireStatus::Ok:
    case WireStatus::TimedOut:
    case WireStatus::OutOfRange:
        return true;
    case WireStatus::Cancelled:
        show(kCancelled);
        return end(Outcome::Cancelled, wire_.errorText());
    case WireStatus::LinkFailed:
        show(kStopped.arg(wire_.link().name(), wire_.errorText()));
        return end(Outcome::PortLost, wire_.errorText());
    }
    return false;
}

async::Task<bool> Handshake::retry(Recovery recovery, int pauseMs) {
    if (++retries_ > retryLimit_)
        co_return end(Outcome::GaveUp, lastShown_);
    const QString failure = lastShown_;
    show(kRetry + QString::number(retries_));
    if (events_.retry)
        events_.retry(retries_, failure);
    const bool recovered = co_await recover(recovery, pauseMs);
    co_return recovered;
}

async::Task<bool> Handshake::recover(Recovery recovery, int pauseMs) {
    switch (recovery) {
    case Recovery::None:
        co_return true;
    case Recovery::Reopen: {
        const WireStatus reopened = co_await wire_.reopen();
        co_return carry(reopened);
    }
    case Recovery::PauseThenReopen: {
        const WireStatus paused = co_await wire_.pause(pauseMs);
        if (!carry(paused))
            co_return false;
        const WireStatus reopened = co_await wire_.reopen();
        co_return carry(reopened);
    }
    case Recovery::ReopenThenPause: {
        const WireStatus reopened = co_await wire_.reopen();
        if (!carry(reopened))
            co_return false;
        const WireStatus paused = co_await wire_.pause(pauseMs);
        co_return carry(paused);
    }
    }
    co_return true;
}
