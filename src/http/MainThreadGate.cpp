#include "http/MainThreadGate.h"

#include <QThread>

#include <condition_variable>
#include <mutex>

struct MainThreadGate::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
};

namespace {

enum class CallState { Queued, Running, Done, Dropped };

struct Call {
    CallState state = CallState::Queued;
    ApiAnswer answer;
};

} // namespace

MainThreadGate::MainThreadGate(QObject* context, std::chrono::milliseconds deadline)
    : context_(context), deadline_(deadline), shared_(std::make_shared<Shared>()) {}

MainThreadGate::~MainThreadGate() {
    close();
}

std::optional<ApiAnswer> MainThreadGate::call(std::function<ApiAnswer()> work) {
    if (context_ && context_->thread() == QThread::currentThread())
        return shared_->closed ? std::nullopt : std::optional<ApiAnswer>(work());
    const auto call = std::make_shared<Call>();
    const std::shared_ptr<Shared> shared = shared_;
    {
        const std::lock_guard lock(shared->mutex);
        if (shared->closed || !context_)
            return std::nullopt;
    }
    QMetaObject::invokeMethod(
        context_,
        [shared, call, work = std::move(work)] {
            {
                const std::lock_guard lock(shared->mutex);
                if (shared->closed || call->state != CallState::Queued)
                    return;
                call->state = CallState::Running;
            }
            ApiAnswer answer = work();
            {
                const std::lock_guard lock(shared->mutex);
                call->answer = std::move(answer);
                call->state = CallState::Done;
            }
            shared->changed.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(shared->mutex);
    const auto until = std::chrono::steady_clock::now() + deadline_;
    shared->changed.wait_until(lock, until, [&] {
        return call->state == CallState::Done ||
               (shared->closed && call->state == CallState::Queued);
    });
    if (call->state == CallState::Running) // under way: its effect must reach the caller
        shared->changed.wait(lock, [&] { return call->state == CallState::Done; });
    if (call->state == CallState::Done)
        return std::move(call->answer);
    call->state = CallState::Dropped;
    return std::nullopt;
}

void MainThreadGate::close() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
    }
    shared_->changed.notify_all();
}
