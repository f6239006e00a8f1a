#include "http/ApiServer.h"

#include "http/ApiBackend.h"
#include "http/ApiRoutes.h"
#include "http/HttpListener.h"
#include "http/MainThreadGate.h"

#include <cerrno>
#include <cstring>
#include <thread>

struct ApiServer::Parts {
    Parts(SendService& service, const ServerSettings& settings)
        : settings(settings), backend(service), gate(&anchor, settings.mainThreadDeadline),
          routes(gate, backend, BearerToken(settings.token), settings.maxBodyBytes) {}

    ServerSettings settings;
    QObject anchor; // on the Qt thread: where the gate's calls run
    ApiBackend backend;
    MainThreadGate gate;
    ApiRoutes routes;
    std::function<void(const QString&)> log;
    std::unique_ptr<HttpListener> listener;
    std::thread thread; // accepts the connections
    quint16 port = 0;
};

ApiServer::ApiServer(SendService& service, const ServerSettings& settings)
    : parts_(std::make_unique<Parts>(service, settings)) {}

ApiServer::~ApiServer() {
    stop();
}

void ApiServer::setLog(std::function<void(const QString&)> sink) {
    parts_->log = std::move(sink);
}

QString ApiServer::listen() {
    Parts& p = *parts_;
    p.listener = std::make_unique<HttpListener>(p.routes, p.settings, p.log);
    const std::string host = p.settings.address.toString().toStdString();
    errno = 0;
    const int port = p.settings.port == 0
                         ? p.listener->bind_to_any_port(host)
                         : (p.listener->bind_to_port(host, p.settings.port) ? p.settings.port : -1);
    if (port <= 0) {
        const int error = errno;
        p.listener.reset();
        return error ? QString::fromLocal8Bit(std::strerror(error))
                     : QStringLiteral("the address cannot be bound");
    }
    p.port = quint16(port);
    p.thread = std::thread([listener = p.listener.get()] { listener->listen_after_bind(); });
    return QString();
}

quint16 ApiServer::port() const {
    return parts_->port;
}

void ApiServer::stop() {
    Parts& p = *parts_;
    if (!p.listener)
        return;
    p.gate.close(); // first: a handler waiting for this thread would keep stop() waiting
    p.listener->shutDown();
    if (p.thread.joinable())
        p.thread.join();
    p.listener.reset();
}
