#include "serial/Pacer.h"

#include <algorithm>

namespace {
constexpr qint64 kBitsPerByte = 10;
constexpr qint64 kNsPerSecond = 1'000'000'000;
} // namespace

Pacer::Pacer(int baud, QObject* parent) : QObject(parent), m_baud(baud) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Pacer::release);
}

void Pacer::push(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    const bool idle = m_queue.isEmpty();
    m_queue += bytes;
    if (!idle)
        return; // the running schedule picks the new bytes up
    m_since.start();
    m_releasedInRun = 0;
    if (m_baud <= 0) // posted, so one pass of the event loop delivers it
        QMetaObject::invokeMethod(this, &Pacer::release, Qt::QueuedConnection);
    else
        scheduleNext();
}

void Pacer::clear() {
    m_queue.clear();
    m_timer.stop();
}

void Pacer::release() {
    qsizetype count = m_queue.size();
    if (m_baud > 0) {
        const qint64 due = m_since.nsecsElapsed() * m_baud / (kBitsPerByte * kNsPerSecond);
        count = qsizetype(std::clamp<qint64>(due - m_releasedInRun, 0, m_queue.size()));
    }
    if (count > 0) {
        const QByteArray chunk = m_queue.left(count);
        m_queue.remove(0, count);
        m_releasedInRun += count;
        Q_EMIT released(chunk);
    }
    if (!m_queue.isEmpty())
        scheduleNext();
}

void Pacer::scheduleNext() {
    // The next byte is due once (released + 1) byte times have passed since the run began.
    const qint64 dueNs = (m_releasedInRun + 1) * kBitsPerByte * kNsPerSecond / m_baud;
    const qint64 waitNs = dueNs - m_since.nsecsElapsed();
    m_timer.start(int(std::max<qint64>(0, (waitNs + 999'999) / 1'000'000)));
}
