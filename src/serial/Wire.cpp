#include "serial/Wire.h"

#include "serial/Clock.h"
#include "serial/Link.h"
#include "serial/TransferAbort.h"

#include <algorithm>

quint32 bigEndianValue(const QByteArray& bytes, qsizetype offset, int size) {
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | quint8(bytes.at(offset + i));
    return value;
}

QByteArray bigEndianBytes(quint32 value, int size) {
    QByteArray bytes(size, '\0');
    for (int i = size - 1; i >= 0; --i) {
        bytes[i] = char(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

Wire::Wire(Link& link, Clock& clock, const TransferAbort* abort, const scale::ScaleModel& model)
    : link_(link), clock_(clock), abort_(abort), model_(model) {
    // A failure may be reported between two primitives; remember it for the next one.
    failureWatch_ = QObject::connect(&link_, &Link::failed, [this](const QString& reason) {
        linkFailed_ = true;
        linkFailure_ = reason;
    });
}

Wire::~Wire() {
    QObject::disconnect(failureWatch_);
}

WireStatus Wire::fail(WireStatus status, const QString& why) {
    error_ = why;
    return status;
}

void Wire::setLog(LineLog* log) {
    log_ = log;
    port_ = log ? link_.name() : QString();
}

void Wire::logLine(LineDirection direction, LineStep step, const QByteArray& bytes,
                   const QString& note) {
    if (log_)
        log_->add({clock_.nowMs(), port_, direction, step, bytes, note});
}

// A receive that ends without its bytes shows what came all the same; those bytes stay
// waiting, so a later receive shows only what came after them.
void Wire::logUnanswered(WireStatus ended, qsizetype expected) {
    if (!log_)
        return;
    // A cancelled wait may have been cancelled because the link is gone: it is not touched.
    const QByteArray waiting = ended == WireStatus::Cancelled ? QByteArray() : link_.peekWaiting();
    const QByteArray unseen = waiting.mid(loggedWaiting_);
    loggedWaiting_ = std::max(loggedWaiting_, waiting.size());
    QString note;
    switch (ended) {
    case WireStatus::TimedOut:
        note = QStringLiteral("timed out: %1 bytes waiting, %2 expected")
                   .arg(link_.bytesWaiting())
                   .arg(expected);
        break;
    case WireStatus::Cancelled:
        note = QStringLiteral("cancelled: ") + error_;
        break;
    case WireStatus::LinkFailed:
    case WireStatus::OutOfRange:
    case WireStatus::Ok:
        note = QStringLiteral("stopped: ") + error_;
        break;
    }
    logLine(LineDirection::FromScale, step_, unseen, note);
}

void Wire::logTaken(const QByteArray& bytes) {
    if (!log_)
        return;
    const qsizetype shown = std::min(loggedWaiting_, bytes.size());
    loggedWaiting_ = 0;
    logLine(LineDirection::FromScale, step_, bytes.mid(shown),
            shown > 0 ? QStringLiteral("after the %1 bytes shown before").arg(shown) : QString());
}

void Wire::logDropped(const QByteArray& bytes) {
    if (log_ && !bytes.isEmpty())
        logLine(LineDirection::FromScale, LineStep::Reopen, bytes, QStringLiteral("dropped"));
}

bool Wire::isAborted() const {
    return abort_ && abort_->isAborted();
}

WireStatus Wire::abortStatus() {
    return fail(WireStatus::Cancelled, abort_->reason());
}

void Wire::noteWake(WaitResult woke) {
    if (woke == WaitResult::LinkFailed && !linkFailed_) {
        linkFailed_ = true;
        linkFailure_ = link_.errorString();
    }
}

WireStatus Wire::checkUsable() {
    if (isAborted())
        return abortStatus();
    if (linkFailed_)
        return fail(WireStatus::LinkFailed, linkFailure_);
    if (!link_.isOpen())
        return fail(WireStatus::LinkFailed,
                    QStringLiteral("the port %1 is not open").arg(link_.name()));
    return WireStatus::Ok;
}

WireStatus Wire::write(const QByteArray& bytes) {
    if (const WireStatus status = checkUsable(); status != WireStatus::Ok)
        return status;
    if (!link_.write(bytes)) {
        linkFailed_ = true;
        linkFailure_ = link_.errorString();
        if (log_)
            logLine(LineDirection::ToScale, step_, bytes,
                    QStringLiteral("the write failed: ") + linkFailure_);
        return fail(WireStatus::LinkFailed, linkFailure_);
    }
    logLine(LineDirection::ToScale, step_, bytes);
    return WireStatus::Ok;
}

WireStatus Wire::TxByte(quint8 ByteData) {
    return write(QByteArray(1, char(ByteData)));
}

WireStatus Wire::TxInt(int IntData) {
    if (IntData < 0 || IntData > model_.largestNumber)
        return fail(WireStatus::OutOfRange,
                    QStringLiteral("%1 cannot be sent: only 0 to %2 fit two bytes")
                        .arg(IntData)
                        .arg(model_.largestNumber));
    return write(bigEndianBytes(quint32(IntData), 2));
}

WireStatus Wire::TxBytes(const QByteArray& bytes) {
    return write(bytes);
}

async::Task<Received<QByteArray>> Wire::receiveExactly(qsizetype count, qint64 limitMs) {
    const qint64 deadline = clock_.nowMs() + limitMs;
    for (;;) {
        if (const WireStatus status = checkUsable(); status != WireStatus::Ok) {
            logUnanswered(status, count);
            co_return {status, {}};
        }
        if (link_.bytesWaiting() == count) {
            QByteArray bytes = link_.takeAll();
            logTaken(bytes);
            co_return {WireStatus::Ok, std::move(bytes)};
        }
        if (clock_.nowMs() >= deadline) {
            const WireStatus status = fail(
                WireStatus::TimedOut, QStringLiteral("no reply of exactly %1 bytes within %2 ms")
                                          .arg(count)
                                          .arg(limitMs));
            logUnanswered(status, count);
            co_return {status, {}};
        }
        const WaitResult woke = co_await clock_.waitUntil(deadline, &link_, abort_);
        noteWake(woke);
        // Every result is re-examined at the top: bytes, deadline, abort, failure.
    }
}

async::Task<Received<quint8>> Wire::RxByte() {
    const Received<QByteArray> bytes = co_await receiveExactly(1, model_.limits.byteMs);
    if (!bytes.ok())
        co_return {bytes.status, 0};
    co_return {WireStatus::Ok, quint8(bytes.value.at(0))};
}

async::Task<Received<int>> Wire::RxInt() {
    const Received<QByteArray> bytes = co_await receiveExactly(2, model_.limits.byteMs);
    if (!bytes.ok())
        co_return {bytes.status, 0};
    const int value = int(bigEndianValue(bytes.value, 0, 2));
    if (value > model_.largestNumber)
        co_return {
            fail(
                WireStatus::OutOfRange,
                QStringLiteral("received %1, beyond 0 to %2").arg(value).arg(model_.largestNumber)),
            0};
    co_return {WireStatus::Ok, value};
}

async::Task<WireStatus> Wire::RxFip(quint32& mWeight, quint32& mUnitPrice, quint32& mTotalPrice) {
    const Received<QByteArray> bytes =
        co_await receiveExactly(model_.displayRecordSize, model_.limits.displayRecordMs);
    if (!bytes.ok())
        co_return bytes.status;
    const int size = model_.displayValueSize();
    mWeight = bigEndianValue(bytes.value, 0, size);
    mUnitPrice = bigEndianValue(bytes.value, size, size);
    mTotalPrice = bigEndianValue(bytes.value, 2 * size, size);
    co_return WireStatus::Ok;
}

async::Task<WireStatus> Wire::pause(qint64 ms) {
    if (log_)
        logLine(LineDirection::Event, LineStep::Pause, {}, QStringLiteral("%1 ms").arg(ms));
    const qint64 deadline = clock_.nowMs() + ms;
    while (clock_.nowMs() < deadline && !isAborted()) {
        const WaitResult woke = co_await clock_.waitUntil(deadline, nullptr, abort_);
        noteWake(woke);
    }
    co_return isAborted() ? abortStatus() : WireStatus::Ok;
}

async::Task<WireStatus> Wire::reopen() {
    if (isAborted())
        co_return abortStatus();
    if (log_)
        logDropped(link_.peekWaiting().mid(loggedWaiting_));
    loggedWaiting_ = 0;
    link_.close();
    const bool opened = co_await link_.open();
    if (!opened) {
        linkFailed_ = true;
        linkFailure_ = withoutPortName(link_.errorString()); // the texts name the port
        if (log_)
            logLine(LineDirection::Event, LineStep::Reopen, {},
                    QStringLiteral("closed, not opened again: ") + linkFailure_);
        co_return fail(WireStatus::LinkFailed, linkFailure_);
    }
    linkFailed_ = false;
    linkFailure_.clear();
    if (log_)
        logLine(LineDirection::Event, LineStep::Reopen, {},
                QStringLiteral("closed and opened again"));
    // Whatever Qt already buffered again belongs to no reply of ours.
    const QByteArray stale = link_.takeAll();
    logDropped(stale);
    co_return WireStatus::Ok;
}
