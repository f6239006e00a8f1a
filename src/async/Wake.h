#pragma once

#include <QObject>

#include <coroutine>

// One wake-up of a suspended coroutine, awaited with `co_await wake`: the first fire() wins,
// and the coroutine goes on from the event loop, never inside the call to fire(), so whoever
// fired (a signal's sender, a "Cancel" click) is not re-entered. Connect the signals that are
// to fire it with context() as the receiver: those connections, and a resumption still
// pending, end with the Wake, which lives in the waiting coroutine's frame.
namespace async {

class Wake {
public:
    bool await_ready() const { return fired_; }
    void await_suspend(std::coroutine_handle<> waiter) { waiter_ = waiter; }
    int await_resume() const { return reason_; }

    void fire(int reason = 0) {
        if (fired_)
            return;
        fired_ = true;
        reason_ = reason;
        if (waiter_)
            QMetaObject::invokeMethod(
                &context_, [waiter = waiter_] { waiter.resume(); }, Qt::QueuedConnection);
    }

    QObject* context() { return &context_; }

private:
    QObject context_;
    std::coroutine_handle<> waiter_;
    int reason_ = 0;
    bool fired_ = false;
};

} // namespace async
