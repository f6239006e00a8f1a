#include "serial/Pacer.h"

#include "scale/ScaleModel.h"

#include <algorithm>

namespace {
constexpr qint64 kBitsPerByte = scale::kStandardScale.line.bitsPerByte();
constexpr qint64 kNsPerSecond = 1'000'000'000;
} // namespace

Pacer::Pacer(int baud, QObject* parent) : QObject(parent), baud_(baud) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Pacer::release);
}

void Pacer::push(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    const bool idle = queue_.isEmpty();
    queue_ += bytes;
    if (!idle)
        return; // the running schedule picks the new bytes up
    since_.start();
    releasedInRun_ = 0;
    if (baud_ <= 0) // posted, so one pass of the event loop delivers it
        QMetaObject::invokeMethod(this, &Pacer::release, Qt::QueuedConnection);
    else
        scheduleNext();
}

void Pacer::clear() {
    queue_.clear();
    timer_.stop();
}

void Pacer::release() {
    qsizetype count = queue_.size();
    if (baud_ > 0) {
        const qint64 due = since_.nsecsElapsed() * baud_ / (kBitsPerByte * kNsPerSecond);
        count = qsizetype(std::clamp<qint64>(due - releasedInRun_, 0, queue_.size()));
    }
    if (count > 0) {
        const QByteArray chunk = queue_.left(count);
        queue_.remove(0, count);
        releasedInRun_ += count;
        Q_EMIT released(chunk);
    }
    if (!queue_.isEmpty())
        scheduleNext();
}

void Pacer::scheduleNext() {
    // The next byte is due once (released + 1) byte times have passed since the run began.
    const qint64 dueNs = (releasedInRun_ + 1) * kBitsPerByte * kNsPerSecond / baud_;
    const qint64 waitNs = dueNs - since_.nsecsElapsed();
    timer_.start(int(std::max<qint64>(0, (waitNs + 999'999) / 1'000'000)));
}
