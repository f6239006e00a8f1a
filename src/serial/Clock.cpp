#include "serial/Clock.h"

#include "serial/Link.h"
#include "serial/TransferAbort.h"

#include <QCoreApplication>
#include <QEventLoop>
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

WaitResult RealClock::waitUntil(qint64 deadlineMs, Link* link, const TransferAbort* abort) {
    if (abort && abort->isAborted())
        return WaitResult::Aborted;
    const qint64 remaining = deadlineMs - nowMs();
    if (remaining <= 0)
        return WaitResult::Deadline;

    QEventLoop loop;
    WaitResult result = WaitResult::Deadline;
    bool done = false;
    auto finish = [&](WaitResult why) {
        if (done)
            return;
        done = true;
        result = why;
        loop.quit();
    };
    connectWakeUps(&loop, link, abort, finish);
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { finish(WaitResult::Deadline); });
    deadline.start(int(qMin<qint64>(remaining, std::numeric_limits<int>::max())));
    loop.exec();
    // A loop that returns without one of its wake-ups was ended from outside, or could not
    // run at all: the application is quitting. Waiting again would only spin.
    return done ? result : WaitResult::Aborted;
}

WaitResult ManualClock::waitUntil(qint64 deadlineMs, Link* link, const TransferAbort* abort) {
    ++waits_;
    if (abort && abort->isAborted())
        return WaitResult::Aborted;

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
        return WaitResult::Aborted;
    if (failed)
        return WaitResult::LinkFailed;
    if (data)
        return WaitResult::Data;
    if (deadlineMs > now_) {
        waited_ += deadlineMs - now_;
        now_ = deadlineMs;
    }
    return WaitResult::Deadline;
}
