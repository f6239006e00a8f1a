#include "http/SocketConnection.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
namespace {
int pollSockets(WSAPOLLFD* fds, ULONG count, int timeoutMs) {
    return WSAPoll(fds, count, timeoutMs);
}
using PollFd = WSAPOLLFD;
constexpr int kShutWrite = SD_SEND;
constexpr int kShutBoth = SD_BOTH;
constexpr int kNoSignal = 0;
void closeSocket(socket_t s) {
    closesocket(s);
}
} // namespace
#else
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>
namespace {
int pollSockets(pollfd* fds, nfds_t count, int timeoutMs) {
    return ::poll(fds, count, timeoutMs);
}
using PollFd = pollfd;
constexpr int kShutWrite = SHUT_WR;
constexpr int kShutBoth = SHUT_RDWR;
constexpr int kNoSignal = MSG_NOSIGNAL; // a client gone mid-answer must not end the program
void closeSocket(socket_t s) {
    ::close(s);
}
} // namespace
#endif

namespace {

// After an answer sent without reading the request's body: how long and how much of what
// the client still sends is read and dropped, so that closing does not reset the connection
// before the client has read the answer.
constexpr auto kLingerTime = std::chrono::seconds(1);
constexpr qint64 kLingerBytes = 1024 * 1024;

void addressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char host[NI_MAXHOST] = {};
    char service[NI_MAXSERV] = {};
    const socklen_t size =
        address.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), size, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        ip = host;
        port = std::atoi(service);
    }
}

} // namespace

SocketConnection::SocketConnection(socket_t socket, const Limits& limits)
    : socket_(socket), limits_(limits) {
    // The library writes an answer's head and body apart; waiting to join them would cost
    // the client's delayed acknowledgement, tens of milliseconds, on every answer.
    int yes = 1;
    setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&yes), sizeof yes);
}

SocketConnection::~SocketConnection() {
    close();
}

bool SocketConnection::waitFor(short events, Clock::time_point deadline) const {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        PollFd fd{};
        fd.fd = socket_;
        fd.events = events;
        const int ready = pollSockets(&fd, 1, int(std::min<qint64>(left.count(), 60'000)));
        if (ready > 0)
            return true; // readable, writable, or gone: the next call says which
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

SocketConnection::Clock::time_point SocketConnection::readDeadline() const {
    const Clock::time_point idle = Clock::now() + limits_.idle;
    return inRequest_ ? std::min(idle, requestDeadline_) : idle;
}

bool SocketConnection::awaitRequest() {
    return begin_ < end_ || waitFor(POLLIN, Clock::now() + limits_.idle);
}

void SocketConnection::shutDown() {
    ::shutdown(socket_, kShutBoth);
}

bool SocketConnection::is_readable() const {
    return begin_ < end_ || waitFor(POLLIN, readDeadline());
}

bool SocketConnection::is_writable() const {
    return waitFor(POLLOUT, Clock::now() + limits_.idle);
}

ssize_t SocketConnection::read(char* ptr, size_t size) {
    if (!inRequest_) {
        inRequest_ = true;
        requestDeadline_ = Clock::now() + limits_.request;
        requestBytes_ = 0;
    }
    if (begin_ == end_) {
        if (!waitFor(POLLIN, readDeadline()))
            return -1;
        const auto received = recv(socket_, buffer_, sizeof buffer_, 0);
        if (received <= 0)
            return received;
        requestBytes_ += received;
        if (requestBytes_ > limits_.maxRequestBytes)
            return -1;
        begin_ = 0;
        end_ = std::size_t(received);
    }
    const std::size_t count = std::min(size, end_ - begin_);
    std::memcpy(ptr, buffer_ + begin_, count);
    begin_ += count;
    return ssize_t(count);
}

ssize_t SocketConnection::write(const char* ptr, size_t size) {
    inRequest_ = false; // the answer has begun; the next read belongs to the next request
    if (!is_writable())
        return -1;
    const std::size_t chunk = std::min<std::size_t>(size, 1 << 20);
    return send(socket_, ptr, int(chunk), kNoSignal);
}

void SocketConnection::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        addressOf(address, ip, port);
}

void SocketConnection::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        addressOf(address, ip, port);
}

void SocketConnection::close() {
    if (closeAfterAnswer_) {
        ::shutdown(socket_, kShutWrite);
        const Clock::time_point until = Clock::now() + kLingerTime;
        qint64 dropped = 0;
        while (dropped < kLingerBytes && waitFor(POLLIN, until)) {
            const auto received = recv(socket_, buffer_, sizeof buffer_, 0);
            if (received <= 0)
                break;
            dropped += received;
        }
    }
    ::shutdown(socket_, kShutBoth);
    closeSocket(socket_);
}
