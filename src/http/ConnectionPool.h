#pragma once

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The threads that serve the connections, one connection each, at most `size` at once. When
// all are taken the server stops accepting until one is free: further clients wait in the
// system's queue of the listening socket instead of taking memory or descriptors here.
class ConnectionPool : public httplib::TaskQueue {
public:
    explicit ConnectionPool(int size);
    ~ConnectionPool() override;

    void enqueue(std::function<void()> serve) override; // blocks while every thread is taken
    void shutdown() override;                           // after the last enqueue; joins

private:
    void work();

    int size_;
    int taken_ = 0; // connections queued or being served
    bool ending_ = false;
    std::deque<std::function<void()>> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> threads_;
};
