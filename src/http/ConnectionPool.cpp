#include "http/ConnectionPool.h"

ConnectionPool::ConnectionPool(int size) : size_(size) {
    threads_.reserve(size);
    for (int i = 0; i < size; ++i)
        threads_.emplace_back([this] { work(); });
}

ConnectionPool::~ConnectionPool() {
    shutdown();
}

void ConnectionPool::enqueue(std::function<void()> serve) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return taken_ < size_; });
    ++taken_;
    queue_.push_back(std::move(serve));
    changed_.notify_all();
}

void ConnectionPool::shutdown() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
}

void ConnectionPool::work() {
    for (;;) {
        std::function<void()> serve;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (queue_.empty())
                return; // ending, and nothing left to serve
            serve = std::move(queue_.front());
            queue_.pop_front();
        }
        serve();
        {
            const std::lock_guard lock(mutex_);
            --taken_;
        }
        changed_.notify_all();
    }
}
