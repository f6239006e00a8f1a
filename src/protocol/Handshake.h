#pragma once

#include "protocol/ExchangeEvents.h"
#include "protocol/Outcome.h"
#include "serial/Wire.h"

#include <QString>

#include <optional>

// Texts every transfer shows.
namespace transfer_texts {
inline const QString kStopped = QStringLiteral("Transfer stopped on port %1: %2");
inline const QString kCancelled = QStringLiteral("Transfer cancelled");
inline const QString kRetry = QStringLiteral("Retry #");
inline const QString kRecordError = QStringLiteral("SyncOK error");
} // namespace transfer_texts

// How the port recovers before a retry.
enum class Recovery {
    None,            // nothing stale can be waiting
    Reopen,          // close and reopen: drops what is waiting
    PauseThenReopen, // after a failed sync: give the scale time, then drop what came
    ReopenThenPause, // after a failed command or record
};

// How the opening of an exchange went: the sync answered with 0x77, then the command
// answered with 0x01.
enum class Opening { Ready, SyncFailed, CommandFailed, Interrupted };

// The skeleton every exchange with the scale is built on: the sync and the command, one
// byte out and one back at a time; the end of the exchange when the link fails or the
// transfer is cancelled; and the counted retry with its recovery. The exchanges add their
// own steps and texts in between. Status texts and retries go to `events`.
class Handshake {
public:
    Handshake(Wire& wire, int retryLimit, ExchangeEvents events = {});

    Wire& wire() const { return wire_; }
    const ExchangeEvents& events() const { return events_; }
    // Set once something ended the exchange: GaveUp (one counted failure more than the
    // retry limit; its text stays shown), PortLost ("Transfer stopped on port ...": the link
    // failed or could not be reopened) or Cancelled ("Transfer cancelled").
    std::optional<Outcome> ending() const { return ending_; }
    // How it ended, with the reason: the last failure's text, the wire's reason for a lost
    // port or a cancel. Done while nothing has ended it.
    Ending end() const { return {ending_.value_or(Outcome::Done), reason_}; }

    void restart(); // a new transfer: nothing has ended, no reason noted
    void startRow() { retries_ = 0; }
    int rowRetries() const { return retries_; } // counted failures of the current row

    // What was sent (`sent`, its status), then the answer `receive` reads; nothing once the
    // exchange is interrupted. A time-out is an answer like any other (value 0): the caller
    // compares it.
    template <typename T>
    async::Task<std::optional<Received<T>>> reply(WireStatus sent,
                                                  async::Task<Received<T>> (Wire::*receive)()) {
        if (!carry(sent))
            co_return std::nullopt;
        const Received<T> answer = co_await (wire_.*receive)();
        if (!carry(answer.status))
            co_return std::nullopt;
        co_return answer;
    }
    // One byte out, one byte back.
    async::Task<std::optional<Received<quint8>>> ask(quint8 byte) {
        return reply(wire_.TxByte(byte), &Wire::RxByte);
    }
    // The sync, then `command` answered with the command answer.
    async::Task<Opening> open(quint8 command);

    // False once `status` ends the exchange (a failed link or an abort), with its text shown.
    // A time-out or a value out of range is not an ending: the caller judges the answer.
    bool carry(WireStatus status);

    // A counted failure of the current row, whose text was the last shown: one more retry,
    // announced as "Retry #n" and prepared by `recovery` (pausing `pauseMs`). False when the
    // exchange is over instead: the retry limit was passed or the recovery was interrupted.
    async::Task<bool> retry(Recovery recovery, int pauseMs = 0);

    void show(const QString& text);

private:
    async::Task<bool> recover(Recovery recovery, int pauseMs);
    bool end(Outcome outcome, const QString& reason);

    Wire& wire_;
    int retryLimit_;
    ExchangeEvents events_;
    int retries_ = 0;
    std::optional<Outcome> ending_;
    QString reason_;
    QString lastShown_; // the failure a retry is about
};
