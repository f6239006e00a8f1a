#pragma once

#include "http/ServerSettings.h"
#include "http/SocketConnection.h"

#include <httplib.h>

#include <QString>

#include <functional>
#include <mutex>
#include <set>

class ApiRoutes;

// The HTTP library's server with the routes behind it. Each connection is served on a thread
// of its own (ConnectionPool) through a SocketConnection, which holds the time and size
// limits; the library reads the requests and writes the answers.
class HttpListener : public httplib::Server {
public:
    using LogSink = std::function<void(const QString& line)>;

    HttpListener(ApiRoutes& routes, const ServerSettings& settings, LogSink log);

    // Closes the listening socket, whether or not the accepting thread has begun, and ends
    // every connection at once; the accepting thread then returns.
    void shutDown();

private:
    bool process_and_close_socket(socket_t socket) override;
    HandlerResponse checkHead(const httplib::Request& request, httplib::Response& response);
    void answer(const httplib::Request& request, httplib::Response& response,
                const httplib::ContentReader* reader);
    void logAnswer(const httplib::Request& request, const httplib::Response& response) const;

    ApiRoutes& routes_;
    ServerSettings settings_;
    LogSink log_;
    std::mutex mutex_;
    std::set<SocketConnection*> connections_;
    bool stopping_ = false;
};
