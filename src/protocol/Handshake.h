#pragma once

#include "serial/Wire.h"

#include <QString>

#include <functional>
#include <optional>

using StatusSink = std::function<void(const QString& text)>;

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
// own steps and texts in between. Status texts go to `status` (none without it).
class Handshake {
public:
    enum class Ending {
        Running,    // nothing has ended the exchange
        GaveUp,     // one counted failure more than the retry limit; its text stays shown
        LinkFailed, // "Transfer stopped on port ...": the link failed or could not be reopened
        Cancelled,  // "Transfer cancelled": the abort object fired
    };

    Handshake(Wire& wire, int retryLimit, StatusSink status = {});

    Wire& wire() const { return wire_; }
    Ending ending() const { return ending_; }
    QString error() const { return error_; } // the wire's reason, for LinkFailed and Cancelled

    void restart(); // a new transfer: nothing has ended, no reason noted
    void startRow() { retries_ = 0; }

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

    // A counted failure of the current row: one more retry, announced as "Retry #n" and
    // prepared by `recovery` (pausing `pauseMs`). False when the exchange is over instead:
    // the retry limit was passed or the recovery was interrupted.
    async::Task<bool> retry(Recovery recovery, int pauseMs = 0);

    void show(const QString& text) const;

private:
    async::Task<bool> recover(Recovery recovery, int pauseMs);

    Wire& wire_;
    int retryLimit_;
    StatusSink status_;
    int retries_ = 0;
    Ending ending_ = Ending::Running;
    QString error_;
};
