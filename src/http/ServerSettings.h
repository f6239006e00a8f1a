#pragma once

#include <QByteArray>
#include <QHostAddress>

#include <chrono>

// How the HTTP interface listens and what it allows a client.
struct ServerSettings {
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 0; // 0: a free one
    QByteArray token; // empty: no Authorization needed
    int maxConnections = 64;
    qint64 maxBodyBytes = 1024 * 1024;
    std::chrono::milliseconds idleTimeout{30'000};       // a silent connection is closed
    std::chrono::milliseconds requestTimeout{60'000};    // one request's head and body must arrive
    std::chrono::milliseconds mainThreadDeadline{5'000}; // for the Qt thread to take a call up
};
