#include "ReplyLink.h"

#include "serial/Clock.h"

#include <algorithm>

namespace {
constexpr uint8_t kBreak = 0xFF;
constexpr uint8_t kRefuseOpen = 0xFE;
constexpr uint8_t kLate = 0x80;
constexpr uint8_t kLengthMask = 0x7F;
} // namespace

ReplyLink::ReplyLink(const uint8_t* data, size_t size, ManualClock& clock)
    : m_data(data), m_size(size) {
    clock.setOnWait([this](qint64) { deliverLate(); });
}

bool ReplyLink::open() {
    if (m_refuseNextOpen) {
        m_refuseNextOpen = false;
        m_error = QStringLiteral("device refused");
        return false;
    }
    m_open = true;
    m_broken = false;
    m_received.clear();
    m_late.clear();
    return true;
}

void ReplyLink::close() {
    m_open = false;
    m_received.clear();
    m_late.clear();
}

bool ReplyLink::write(const QByteArray& bytes) {
    if (!m_open || m_broken) {
        m_error = QStringLiteral("write on a broken link");
        return false;
    }
    m_written += bytes;
    m_writes.append(bytes);
    answer();
    return true;
}

QByteArray ReplyLink::takeAll() {
    QByteArray all;
    all.swap(m_received);
    return all;
}

void ReplyLink::answer() {
    m_replies.append(QByteArray());
    if (m_pos >= m_size)
        return; // silence
    const uint8_t header = m_data[m_pos++];
    if (header == kBreak) {
        m_broken = true;
        m_error = QStringLiteral("cable pulled");
        Q_EMIT failed(m_error);
        return;
    }
    if (header == kRefuseOpen) {
        m_refuseNextOpen = true;
        return;
    }
    const size_t length = std::min<size_t>(header & kLengthMask, m_size - m_pos);
    const QByteArray reply(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(length));
    m_pos += length;
    m_replies.last() = reply;
    if (header & kLate) {
        m_late += reply;
        return;
    }
    m_received += reply;
    Q_EMIT readyRead();
}

void ReplyLink::deliverLate() {
    if (m_late.isEmpty() || !m_open)
        return;
    m_received += m_late;
    m_late.clear();
    Q_EMIT readyRead();
}
