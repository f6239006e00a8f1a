#pragma once

#include "http/ServerSettings.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class SendService;

// The HTTP interface: JSON over HTTP/1.1 under /v1, served on threads of its own so that a
// slow client never holds up the window, the scales or another client; it reaches the
// SendService on the thread it was made on (the Qt thread) through queued calls.
// Made, started and stopped on that thread.
class ApiServer {
public:
    ApiServer(SendService& service, const ServerSettings& settings);
    ~ApiServer(); // stops
    ApiServer(const ApiServer&) = delete;
    ApiServer& operator=(const ApiServer&) = delete;

    // One line per answer, from the server's threads (the sink must be safe for that); set
    // before listen(). A line is written once its answer has gone out, so it may come after
    // the client has the answer, until stop() returns: what the sink writes to must last
    // that long.
    void setLog(std::function<void(const QString& line)> sink);

    // Binds and starts serving; the reason when it cannot ("Address already in use").
    QString listen();
    quint16 port() const; // the one bound, also when the settings asked for 0

    // Closes the listening socket and every connection; a request waiting for the Qt thread
    // gets a 503. Returns when the server's threads have ended.
    void stop();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
