#pragma once

#include "http/ApiAnswer.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// How the server's threads reach the Qt thread, where the jobs live: a call is queued to the
// Qt thread's event loop and its caller waits for the answer, at most `deadline`. A call the
// Qt thread has not taken up by then is dropped and never done, so a caller told "not in
// time" can rely on nothing having been started; one already under way is waited for.
class MainThreadGate {
public:
    MainThreadGate(QObject* context, std::chrono::milliseconds deadline);
    ~MainThreadGate();

    // From any thread; on the context's own thread the work is done at once. Nothing when
    // the work was dropped or the gate is closed.
    std::optional<ApiAnswer> call(std::function<ApiAnswer()> work);

    // On the Qt thread, before what the work touches goes away: waiting callers return
    // nothing at once, and no queued work is done any more.
    void close();

    std::chrono::milliseconds deadline() const { return deadline_; }

private:
    struct Shared;
    QPointer<QObject> context_;
    std::chrono::milliseconds deadline_;
    std::shared_ptr<Shared> shared_;
};
