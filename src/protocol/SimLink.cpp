#include "protocol/SimLink.h"

#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"

SimLink::SimLink(SimulatedScale& scale, const Clock* clock, int baud, QObject* parent)
    : Link(parent), scale_(scale), clock_(clock), pacer_(baud) {
    ownClock_.start();
    connect(&pacer_, &Pacer::released, this, &SimLink::deliver);
}

qint64 SimLink::nowMs() const {
    return clock_ ? clock_->nowMs() : ownClock_.elapsed();
}

bool SimLink::openNow() {
    open_ = true;
    broken_ = false;
    error_.clear();
    received_.clear();
    pacer_.clear();
    return true;
}

void SimLink::close() {
    open_ = false;
    received_.clear();
    pacer_.clear();
}

bool SimLink::write(const QByteArray& bytes) {
    if (!open_ || broken_) {
        if (!broken_)
            error_ = QStringLiteral("the port sim is not open");
        return false;
    }
    pacer_.push(scale_.feed(bytes, nowMs()));
    return true;
}

QByteArray SimLink::takeAll() {
    QByteArray all;
    all.swap(received_);
    return all;
}

void SimLink::breakLink(const QString& reason) {
    broken_ = true;
    error_ = reason;
    pacer_.clear();
    Q_EMIT failed(reason);
}

void SimLink::deliver(const QByteArray& bytes) {
    if (!open_ || broken_)
        return;
    received_ += bytes;
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
