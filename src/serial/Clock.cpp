#include "serial/Clock.h"

#include "async/Wake.h"
#include "serial/Link.h"
#include "serial/TransferAbort.h"

#include <QCoreApplication>
#include <QTimer>

#include <limits>

namespace {

// Connects the wake-up sources of one wait to `finish`; the connections live as long as
// `context`.
template <typename Finish>
void connectWakeUps(QObject* context, Link* link, const TransferAbort* abort, Finish finish) {
    if (link) {
        QObject::connect(link, &Link::readyRead, context, [finish] { finish(WaitResult::Data); });
        QObject::connect(link, &Link::failed, context,
                         [finish] { finish(WaitResult::LinkFailed); });
    }
    if (abort) {
        QObject::connect(abort, &TransferAbort::aborted, context,
                         [finish] { finish(WaitResult::Cancelled); });
    }
}

} // namespace

RealClock::RealClock() {
    timer_.start();
}

qint64 RealClock::nowMs() const {
    return timer_.elapsed();
}

async::Task<WaitResult> RealClock::waitUntil(qint64 deadlineMs, Link* link,
                                             const TransferAbort* abort) {
    if (abort && abort->isAborted())
        co_return WaitResult::Cancelled;
    const qint64 remaining = deadlineMs - nowMs();
    if (remaining <= 0)
        co_return WaitResult::Deadline;

    async::Wake wake;
    connectWakeUps(wake.context(), link, abort, [&wake](WaitResult why) { wake.fire(int(why)); });
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, wake.context(),
                     [&wake] { wake.fire(int(WaitResult::Deadline)); });
    deadline.start(int(qMin<qint64>(remaining, std::numeric_limits<int>::max())));
    const int woke = co_await wake;
    co_return WaitResult(woke);
}

async::Task<WaitResult> ManualClock::waitUntil(qint64 deadlineMs, Link* link,
                                               const TransferAbort* abort) {
    ++waits_;
    if (abort && abort->isAborted())
        co_return WaitResult::Cancelled;

    QObject context;
    bool data = false;
    bool failed = false;
    bool aborted = false;
    connectWakeUps(&context, link, abort, [&](WaitResult why) {
        data |= why == WaitResult::Data;
        failed |= why == WaitResult::LinkFailed;
        aborted |= why == WaitResult::Cancelled;
    });
    if (onWait_)
        onWait_(deadlineMs);
    QCoreApplication::processEvents();

    if (aborted)
        co_return WaitResult::Cancelled;
    if (failed)
        co_return WaitResult::LinkFailed;
    if (data)
        co_return WaitResult::Data;
    if (deadlineMs > now_) {
        waited_ += deadlineMs - now_;
        now_ = deadlineMs;
    }
    co_return WaitResult::Deadline;
}
