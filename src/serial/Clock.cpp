#include "serial/Clock.h"

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
                         [finish] { finish(WaitResult::Aborted); });
    }
}

} // namespace

RealClock::RealClock() {
    timer_.start();
}

qint64 RealClock::nowMs() const {
    return timer_.elapsed();
}

namespace {

// One suspended wait of the real clock. The first wake-up wins; the coroutine goes on from
// the event loop, never inside the signal that woke it, so whoever emitted it (a "Cancel"
// click, a link's readyRead) is not re-entered. Destroying the awaiter (the coroutine was
// destroyed while it waited) ends its connections and its pending resumption.
class WakeUp {
public:
    WakeUp(qint64 remainingMs, Link* link, const TransferAbort* abort)
        : remainingMs_(remainingMs), link_(link), abort_(abort) {}

    bool await_ready() const { return false; }
    void await_suspend(std::coroutine_handle<> waiter) {
        waiter_ = waiter;
        connectWakeUps(&context_, link_, abort_, [this](WaitResult why) { finish(why); });
        deadline_.setSingleShot(true);
        deadline_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&deadline_, &QTimer::timeout, &context_,
                         [this] { finish(WaitResult::Deadline); });
        deadline_.start(int(qMin<qint64>(remainingMs_, std::numeric_limits<int>::max())));
    }
    WaitResult await_resume() const { return result_; }

private:
    void finish(WaitResult why) {
        if (finished_)
            return;
        finished_ = true;
        result_ = why;
        deadline_.stop();
        QMetaObject::invokeMethod(
            &context_, [waiter = waiter_] { waiter.resume(); }, Qt::QueuedConnection);
    }

    qint64 remainingMs_;
    Link* link_;
    const TransferAbort* abort_;
    std::coroutine_handle<> waiter_;
    QObject context_; // the connections and the queued resumption end with it
    QTimer deadline_;
    WaitResult result_ = WaitResult::Deadline;
    bool finished_ = false;
};

} // namespace

async::Task<WaitResult> RealClock::waitUntil(qint64 deadlineMs, Link* link,
                                             const TransferAbort* abort) {
    if (abort && abort->isAborted())
        co_return WaitResult::Aborted;
    const qint64 remaining = deadlineMs - nowMs();
    if (remaining <= 0)
        co_return WaitResult::Deadline;
    co_return co_await WakeUp(remaining, link, abort);
}

async::Task<WaitResult> ManualClock::waitUntil(qint64 deadlineMs, Link* link,
                                               const TransferAbort* abort) {
    ++waits_;
    if (abort && abort->isAborted())
        co_return WaitResult::Aborted;

    QObject context;
    bool data = false;
    bool failed = false;
    bool aborted = false;
    connectWakeUps(&context, link, abort, [&](WaitResult why) {
        data |= why == WaitResult::Data;
        failed |= why == WaitResult::LinkFailed;
        aborted |= why == WaitResult::Aborted;
    });
    if (onWait_)
        onWait_(deadlineMs);
    QCoreApplication::processEvents();

    if (aborted)
        co_return WaitResult::Aborted;
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
