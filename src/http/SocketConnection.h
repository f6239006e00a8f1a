#pragma once

#include <httplib.h>

#include <QtGlobal>

#include <chrono>
#include <cstddef>

// One client's connection as the HTTP library reads and writes it, with the limits that keep
// a client from holding the server: it is closed when silent for the idle time (between
// requests or inside one), when one request takes longer than the request time to arrive
// (a client that trickles its bytes), or when a request's head and body together exceed
// maxRequestBytes. Waits are poll() on the socket; nothing spins.
class SocketConnection : public httplib::Stream {
public:
    struct Limits {
        std::chrono::milliseconds idle;
        std::chrono::milliseconds request;
        qint64 maxRequestBytes;
    };

    SocketConnection(socket_t socket, const Limits& limits);
    ~SocketConnection() override;
    SocketConnection(const SocketConnection&) = delete;
    SocketConnection& operator=(const SocketConnection&) = delete;

    // Waits for the next request, at most the idle time. False when the client stayed silent;
    // true also when it left or the connection was shut down, which the next read tells.
    bool awaitRequest();

    // From any thread: wakes whatever waits on the connection, which then ends.
    void shutDown();

    // The answer now being written is the last: the request's body was not read.
    void closeAfterAnswer() { closeAfterAnswer_ = true; }
    bool closing() const { return closeAfterAnswer_; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return socket_; }

private:
    using Clock = std::chrono::steady_clock;

    bool waitFor(short events, Clock::time_point deadline) const;
    Clock::time_point readDeadline() const;
    void close();

    socket_t socket_;
    Limits limits_;
    char buffer_[4096];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool inRequest_ = false; // bytes of a request were read since the last answer
    Clock::time_point requestDeadline_;
    qint64 requestBytes_ = 0;
    bool closeAfterAnswer_ = false;
};
