#pragma once

#include "async/Task.h"
#include "scale/ScaleModel.h"
#include "serial/LineLog.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

class Clock;
class Link;
enum class WaitResult;
class TransferAbort;

// Outcome of one primitive.
enum class WireStatus {
    Ok,
    TimedOut,   // the exact number of bytes was not waiting when the time limit ran out
    OutOfRange, // a value to send, or a received value, lies outside the signed field range
    LinkFailed, // the link is not open, a write failed or the link reported a failure
    Cancelled,  // the TransferAbort fired
};

// A received value: `value` is what the exchanges compare, 0 unless status is Ok.
template <typename T> struct Received {
    WireStatus status = WireStatus::TimedOut;
    T value{};

    bool ok() const { return status == WireStatus::Ok; }
};

// The send and receive primitives every exchange with the scale is built from. Integers
// travel unsigned and big-endian. A receive waits for an exact number of waiting bytes: more
// than that is a time-out that leaves every byte in the buffer, fewer keeps it waiting. Time
// limits are measured on the injected monotonic clock: a receive gives up once its limit has
// passed, never earlier. A receive, a pause and a reopen are coroutines: waiting suspends the
// exchange and returns to the event loop (see Clock), never a spin, never a nested loop.
// Sending only queues the bytes and returns at once. Sizes, number range and time limits are
// those of the scale model the wire talks to.
class Wire {
public:
    Wire(Link& link, Clock& clock, const TransferAbort* abort = nullptr,
         const scale::ScaleModel& model = scale::kStandardScale);
    ~Wire();
    Wire(const Wire&) = delete;
    Wire& operator=(const Wire&) = delete;

    WireStatus TxByte(quint8 ByteData);
    // Two bytes, high byte first. Only 0 to the model's largest number can travel; anything
    // else is OutOfRange and nothing is sent.
    WireStatus TxInt(int IntData);
    // Any run of bytes in one write (the record of a download).
    WireStatus TxBytes(const QByteArray& bytes);

    // One byte within the byte limit (a second); value 0 on any failure.
    async::Task<Received<quint8>> RxByte();
    // Two bytes, high byte first, within the byte limit; value 0 on any failure. A value
    // beyond the largest number (a first byte of 0x80 or more) gives OutOfRange (the bytes
    // are taken).
    async::Task<Received<int>> RxInt();
    // The display record (12 bytes) within its limit (five seconds): three unsigned values
    // of a third of it each. The out-values are left unchanged unless Ok.
    async::Task<WireStatus> RxFip(quint32& mWeight, quint32& mUnitPrice, quint32& mTotalPrice);
    // Exactly `count` bytes within `limitMs` (the upload's 77-byte reply). Empty unless Ok.
    async::Task<Received<QByteArray>> receiveExactly(qsizetype count, qint64 limitMs);

    // Waits `ms` on the same clock, ending early only on abort (Ok or Cancelled).
    async::Task<WireStatus> pause(qint64 ms);

    // Closes and reopens the link; afterwards nothing stale is waiting, neither in the
    // system's buffers nor in Qt's. Clears an earlier link failure when the reopen works.
    async::Task<WireStatus> reopen();

    // Why the last call that did not return Ok failed, in words for the status panel or
    // stderr ("the link is not open", the link's own error text, the abort reason, ...).
    QString errorText() const { return error_; }

    Link& link() const { return link_; }
    const scale::ScaleModel& model() const { return model_; }
    Clock& clock() const { return clock_; }

    // The line log that gets every byte each way, every pause and every reopen, stamped on
    // the wire's clock (null: none, and the wire does nothing extra). It must outlive the
    // wire's use of it.
    void setLog(LineLog* log);
    LineLog* log() const { return log_; }
    // The step of the exchange the next sends and receives belong to, for the log. Pauses
    // and reopens are steps of their own.
    void setStep(LineStep step) { step_ = step; }

private:
    WireStatus write(const QByteArray& bytes);
    WireStatus checkUsable();
    bool isAborted() const;
    WireStatus abortStatus();
    void noteWake(WaitResult woke);
    WireStatus fail(WireStatus status, const QString& why);
    void logLine(LineDirection direction, LineStep step, const QByteArray& bytes,
                 const QString& note = {});
    void logUnanswered(WireStatus ended, qsizetype expected);
    void logTaken(const QByteArray& bytes);
    void logDropped(const QByteArray& bytes);

    Link& link_;
    Clock& clock_;
    const TransferAbort* abort_;
    const scale::ScaleModel model_; // a copy: the wire never outlives what it was told
    QMetaObject::Connection failureWatch_;
    bool linkFailed_ = false;
    QString linkFailure_;
    QString error_;
    LineLog* log_ = nullptr;
    QString port_; // the link's name, for the log
    LineStep step_ = LineStep::Sync;
    // How many bytes at the head of the link's buffer the log already shows (from a receive
    // that timed out), so that each byte received is logged once.
    qsizetype loggedWaiting_ = 0;
};

// Big-endian unsigned value of bytes [offset, offset + size) (size 1 to 4).
quint32 bigEndianValue(const QByteArray& bytes, qsizetype offset, int size);
// `size` bytes of `value`, most significant first (size 1 to 4).
QByteArray bigEndianBytes(quint32 value, int size);
