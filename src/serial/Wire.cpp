#include "serial/Wire.h"

#include "serial/Clock.h"
#include "serial/Link.h"
#include "serial/TransferAbort.h"

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

bool Wire::isAborted() const {
    return stopped_ || (abort_ && abort_->isAborted());
}

WireStatus Wire::abortStatus() {
    return fail(WireStatus::Aborted, abort_ && abort_->isAborted()
                                         ? abort_->reason()
                                         : QStringLiteral("the program is ending"));
}

void Wire::noteWake(WaitResult woke) {
    if (woke == WaitResult::LinkFailed && !linkFailed_) {
        linkFailed_ = true;
        linkFailure_ = link_.errorString();
    }
    // The clock reports Aborted also when its event loop can no longer run; from then on
    // every wait would return at once, so the exchange must end, not retry.
    if (woke == WaitResult::Aborted && !(abort_ && abort_->isAborted()))
        stopped_ = true;
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
        return fail(WireStatus::LinkFailed, linkFailure_);
    }
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

WireStatus Wire::waitForExactly(qsizetype count, qint64 limitMs, QByteArray& out) {
    const qint64 deadline = clock_.nowMs() + limitMs;
    for (;;) {
        if (const WireStatus status = checkUsable(); status != WireStatus::Ok)
            return status;
        if (link_.bytesWaiting() == count) {
            out = link_.takeAll();
            return WireStatus::Ok;
        }
        if (clock_.nowMs() >= deadline)
            return fail(WireStatus::TimedOut,
                        QStringLiteral("no reply of exactly %1 bytes within %2 ms")
                            .arg(count)
                            .arg(limitMs));
        noteWake(clock_.waitUntil(deadline, &link_, abort_));
        // Every result is re-examined at the top: bytes, deadline, abort, failure.
    }
}

Received<quint8> Wire::RxByte() {
    QByteArray bytes;
    const WireStatus status = waitForExactly(1, model_.limits.byteMs, bytes);
    if (status != WireStatus::Ok)
        return {status, 0};
    return {WireStatus::Ok, quint8(bytes.at(0))};
}

Received<int> Wire::RxInt() {
    QByteArray bytes;
    const WireStatus status = waitForExactly(2, model_.limits.byteMs, bytes);
    if (status != WireStatus::Ok)
        return {status, 0};
    const int value = int(bigEndianValue(bytes, 0, 2));
    if (value > model_.largestNumber)
        return {
            fail(
                WireStatus::OutOfRange,
                QStringLiteral("received %1, beyond 0 to %2").arg(value).arg(model_.largestNumber)),
            0};
    return {WireStatus::Ok, value};
}

WireStatus Wire::RxFip(quint32& mWeight, quint32& mUnitPrice, quint32& mTotalPrice) {
    QByteArray bytes;
    const WireStatus status =
        waitForExactly(model_.displayRecordSize, model_.limits.displayRecordMs, bytes);
    if (status != WireStatus::Ok)
        return status;
    const int size = model_.displayValueSize();
    mWeight = bigEndianValue(bytes, 0, size);
    mUnitPrice = bigEndianValue(bytes, size, size);
    mTotalPrice = bigEndianValue(bytes, 2 * size, size);
    return WireStatus::Ok;
}

Received<QByteArray> Wire::receiveExactly(qsizetype count, qint64 limitMs) {
    QByteArray bytes;
    const WireStatus status = waitForExactly(count, limitMs, bytes);
    if (status != WireStatus::Ok)
        return {status, {}};
    return {WireStatus::Ok, bytes};
}

WireStatus Wire::pause(qint64 ms) {
    const qint64 deadline = clock_.nowMs() + ms;
    while (clock_.nowMs() < deadline && !isAborted())
        noteWake(clock_.waitUntil(deadline, nullptr, abort_));
    return isAborted() ? abortStatus() : WireStatus::Ok;
}

WireStatus Wire::reopen() {
    if (isAborted())
        return abortStatus();
    link_.close();
    if (!link_.open()) {
        linkFailed_ = true;
        linkFailure_ = withoutPortName(link_.errorString()); // the texts name the port
        return fail(WireStatus::LinkFailed, linkFailure_);
    }
    linkFailed_ = false;
    linkFailure_.clear();
    link_.takeAll(); // whatever Qt already buffered again belongs to no reply of ours
    return WireStatus::Ok;
}
