#include "protocol/SimLink.h"

#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"

SimLink::SimLink(SimulatedScale& scale, const Clock* clock, int baud, QObject* parent)
    : Link(parent), m_scale(scale), m_clock(clock), m_pacer(baud) {
    m_ownClock.start();
    connect(&m_pacer, &Pacer::released, this, &SimLink::deliver);
}

qint64 SimLink::nowMs() const {
    return m_clock ? m_clock->nowMs() : m_ownClock.elapsed();
}

bool SimLink::open() {
    m_open = true;
    m_broken = false;
    m_error.clear();
    m_received.clear();
    m_pacer.clear();
    return true;
}

void SimLink::close() {
    m_open = false;
    m_received.clear();
    m_pacer.clear();
}

bool SimLink::write(const QByteArray& bytes) {
    if (!m_open || m_broken) {
        if (!m_broken)
            m_error = QStringLiteral("the port sim is not open");
        return false;
    }
    m_pacer.push(m_scale.feed(bytes, nowMs()));
    return true;
}

QByteArray SimLink::takeAll() {
    QByteArray all;
    all.swap(m_received);
    return all;
}

void SimLink::breakLink(const QString& reason) {
    m_broken = true;
    m_error = reason;
    m_pacer.clear();
    Q_EMIT failed(reason);
}

void SimLink::deliver(const QByteArray& bytes) {
    if (!m_open || m_broken)
        return;
    m_received += bytes;
    Q_EMIT readyRead();
}

SimulatedScale& embeddedScale() {
    static SimulatedScale scale = SimulatedScale::withSamples();
    return scale;
}

void registerSimulatedScaleLink() {
    registerLinkFactory(kSimPortName, [](const QString&) -> std::unique_ptr<Link> {
        return std::make_unique<SimLink>(embeddedScale());
    });
}
