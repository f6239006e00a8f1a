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

async::Task<bool> Handshake::retry(Recovery recovery, int pauseMs) {
    if (++retries_ > retryLimit_) {
        ending_ = Ending::GaveUp;
        co_return false;
    }
    show(kRetry + QString::number(retries_));
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
