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

Wire::Wire(Link& link, Clock& clock, const TransferAbort* abort)
    : m_link(link), m_clock(clock), m_abort(abort) {
    // A failure may be reported between two primitives; remember it for the next one.
    m_failureWatch = QObject::connect(&m_link, &Link::failed, [this](const QString& reason) {
        m_linkFailed = true;
        m_linkFailure = reason;
    });
}

Wire::~Wire() {
    QObject::disconnect(m_failureWatch);
}

WireStatus Wire::fail(WireStatus status, const QString& why) {
    m_error = why;
    return status;
}

bool Wire::isAborted() const {
    return m_stopped || (m_abort && m_abort->isAborted());
}

WireStatus Wire::abortStatus() {
    return fail(WireStatus::Aborted, m_abort && m_abort->isAborted()
                                         ? m_abort->reason()
                                         : QStringLiteral("the program is ending"));
}

void Wire::noteWake(WaitResult woke) {
    if (woke == WaitResult::LinkFailed && !m_linkFailed) {
        m_linkFailed = true;
        m_linkFailure = m_link.errorString();
    }
    // The clock reports Aborted also when its event loop can no longer run; from then on
    // every wait would return at once, so the exchange must end, not retry.
    if (woke == WaitResult::Aborted && !(m_abort && m_abort->isAborted()))
        m_stopped = true;
}

WireStatus Wire::checkUsable() {
    if (isAborted())
        return abortStatus();
    if (m_linkFailed)
        return fail(WireStatus::LinkFailed, m_linkFailure);
    if (!m_link.isOpen())
        return fail(WireStatus::LinkFailed,
                    QStringLiteral("the port %1 is not open").arg(m_link.name()));
    return WireStatus::Ok;
}

WireStatus Wire::write(const QByteArray& bytes) {
    if (const WireStatus status = checkUsable(); status != WireStatus::Ok)
        return status;
    if (!m_link.write(bytes)) {
        m_linkFailed = true;
        m_linkFailure = m_link.errorString();
        return fail(WireStatus::LinkFailed, m_linkFailure);
    }
    return WireStatus::Ok;
}

WireStatus Wire::TxByte(quint8 ByteData) {
    return write(QByteArray(1, char(ByteData)));
}

WireStatus Wire::TxInt(qint32 IntData) {
    if (IntData < 0 || IntData > 32767)
        return fail(
            WireStatus::OutOfRange,
            QStringLiteral("%1 cannot be sent: only 0 to 32767 fit two bytes").arg(IntData));
    return write(bigEndianBytes(quint32(IntData), 2));
}

WireStatus Wire::TxBytes(const QByteArray& bytes) {
    return write(bytes);
}

WireStatus Wire::waitForExactly(qsizetype count, qint64 limitMs, QByteArray& out) {
    const qint64 deadline = m_clock.nowMs() + limitMs;
    for (;;) {
        if (const WireStatus status = checkUsable(); status != WireStatus::Ok)
            return status;
        if (m_link.bytesWaiting() == count) {
            out = m_link.takeAll();
            return WireStatus::Ok;
        }
        if (m_clock.nowMs() >= deadline)
            return fail(WireStatus::TimedOut,
                        QStringLiteral("no reply of exactly %1 bytes within %2 ms")
                            .arg(count)
                            .arg(limitMs));
        noteWake(m_clock.waitUntil(deadline, &m_link, m_abort));
        // Every result is re-examined at the top: bytes, deadline, abort, failure.
    }
}

Received<quint8> Wire::RxByte() {
    QByteArray bytes;
    const WireStatus status = waitForExactly(1, kByteLimitMs, bytes);
    if (status != WireStatus::Ok)
        return {status, 0};
    return {WireStatus::Ok, quint8(bytes.at(0))};
}

Received<qint16> Wire::RxInt() {
    QByteArray bytes;
    const WireStatus status = waitForExactly(2, kByteLimitMs, bytes);
    if (status != WireStatus::Ok)
        return {status, 0};
    const quint32 value = bigEndianValue(bytes, 0, 2);
    if (value > 32767)
        return {fail(WireStatus::OutOfRange,
                     QStringLiteral("received %1, beyond 0 to 32767").arg(value)),
                0};
    return {WireStatus::Ok, qint16(value)};
}

WireStatus Wire::RxFip(quint32& mWeight, quint32& mUnitPrice, quint32& mTotalPrice) {
    QByteArray bytes;
    const WireStatus status = waitForExactly(12, kRecordLimitMs, bytes);
    if (status != WireStatus::Ok)
        return status;
    mWeight = bigEndianValue(bytes, 0, 4);
    mUnitPrice = bigEndianValue(bytes, 4, 4);
    mTotalPrice = bigEndianValue(bytes, 8, 4);
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
    const qint64 deadline = m_clock.nowMs() + ms;
    while (m_clock.nowMs() < deadline && !isAborted())
        noteWake(m_clock.waitUntil(deadline, nullptr, m_abort));
    return isAborted() ? abortStatus() : WireStatus::Ok;
}

WireStatus Wire::reopen() {
    if (isAborted())
        return abortStatus();
    m_link.close();
    if (!m_link.open()) {
        m_linkFailed = true;
        m_linkFailure = withoutPortName(m_link.errorString()); // the texts name the port
        return fail(WireStatus::LinkFailed, m_linkFailure);
    }
    m_linkFailed = false;
    m_linkFailure.clear();
    m_link.takeAll(); // whatever Qt already buffered again belongs to no reply of ours
    return WireStatus::Ok;
}
