#pragma once

#include <QEventLoop>

#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

// A C++20 coroutine that runs on the thread's event loop. It starts at once, runs until its
// first wait that cannot be answered yet, and goes on when that wait ends, straight from the
// event loop: no nested loop, no thread. A caller that is a coroutine itself writes
// `co_await task`; when the task has already ended, it goes on without suspending.
//
// The Task owns the coroutine: destroying it while it waits destroys the coroutine's frame,
// and with it every wait in progress (their connections end with them), so nothing of it
// runs later.
//
// Two habits keep GCC 12 from miscompiling coroutines:
// - await into a local, never inside a switch condition, `?:`, `&&` or `||` (a
//   `switch (co_await ...)` crashed);
// - give a coroutine called under co_await no temporary of a class type as a by-value
//   argument (a lambda turned into a std::function, `{true, text}`): name it first and pass
//   the name or std::move of it (GCC 12 destroys such a temporary twice).
namespace async {

template <typename T = void> class Task;

namespace detail {

struct PromiseBase {
    std::coroutine_handle<> continuation;

    std::suspend_never initial_suspend() noexcept { return {}; }

    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> self) noexcept {
            const std::coroutine_handle<> next = self.promise().continuation;
            return next ? next : std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { std::terminate(); } // nothing here throws on purpose
};

template <typename T> struct Promise : PromiseBase {
    std::optional<T> value;
    Task<T> get_return_object() noexcept;
    void return_value(T result) { value.emplace(std::move(result)); }
};

template <> struct Promise<void> : PromiseBase {
    Task<void> get_return_object() noexcept;
    void return_void() noexcept {}
};

} // namespace detail

template <typename T> class [[nodiscard]] Task {
public:
    using promise_type = detail::Promise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    Task() = default;
    explicit Task(Handle handle) : handle_(handle) {}
    Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { reset(); }

    bool isValid() const { return bool(handle_); }
    bool isDone() const { return handle_ && handle_.done(); }

    // The result of a task that has ended.
    T result() const requires(!std::is_void_v<T>) { return *handle_.promise().value; }

    auto operator co_await() const noexcept {
        struct Awaiter {
            Handle handle;
            bool await_ready() const noexcept { return handle.done(); }
            void await_suspend(std::coroutine_handle<> caller) noexcept {
                handle.promise().continuation = caller;
            }
            T await_resume() const {
                if constexpr (!std::is_void_v<T>)
                    return *handle.promise().value; // a copy: result() still has it
            }
        };
        return Awaiter{handle_};
    }

private:
    void reset() {
        if (handle_)
            std::exchange(handle_, {}).destroy();
    }

    Handle handle_;
};

namespace detail {
template <typename T> Task<T> Promise<T>::get_return_object() noexcept {
    return Task<T>(std::coroutine_handle<Promise<T>>::from_promise(*this));
}
inline Task<void> Promise<void>::get_return_object() noexcept {
    return Task<void>(std::coroutine_handle<Promise<void>>::from_promise(*this));
}

template <typename T> Task<void> quitWhenDone(const Task<T>& task, QEventLoop& loop) {
    co_await task;
    loop.quit();
}
} // namespace detail

// Runs the event loop until `task` has ended and returns its result. For tests and for
// programs that have nothing else to do; the window never waits like this.
template <typename T> T waitFor(Task<T> task) {
    if (!task.isDone()) {
        QEventLoop loop;
        const Task<void> watcher = detail::quitWhenDone(task, loop);
        if (!watcher.isDone())
            loop.exec();
    }
    Q_ASSERT(task.isDone());
    if constexpr (!std::is_void_v<T>)
        return task.result();
}

} // namespace async
