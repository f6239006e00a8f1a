#pragma once

#include "serial/Pacer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class SimulatedScale;

// Serves a simulated scale on the master side of a pseudo-terminal; a program opens the
// slave (portName()) as its serial port. The slave is held open here too, in raw mode, so
// no line discipline alters a byte and the line survives the program closing its port.
// Linux only: on Windows start() refuses and names --tcp instead.
class PtyScaleServer : public QObject {
    Q_OBJECT
public:
    PtyScaleServer(SimulatedScale& scale, int baud, QObject* parent = nullptr);
    ~PtyScaleServer() override;

    bool start(); // false: errorString() says why
    QString portName() const { return m_slavePath; }
    QString errorString() const { return m_error; }

private:
    void readRequests();
    void send(const QByteArray& bytes);
    void flushPending();

    SimulatedScale& m_scale;
    Pacer m_pacer;
    QElapsedTimer m_clock;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
    QByteArray m_unsent; // what the master could not take yet
    QSocketNotifier* m_readable = nullptr;
    QSocketNotifier* m_writable = nullptr;
};

// Serves a simulated scale on a TCP port, one connection at a time: further connections wait
// until the current one ends. Each new connection starts the scale from idle.
class TcpScaleServer : public QObject {
    Q_OBJECT
public:
    TcpScaleServer(SimulatedScale& scale, int baud, QObject* parent = nullptr);

    bool start(const QHostAddress& address, quint16 port); // port 0: any free port
    QString portName() const; // "tcp://127.0.0.1:40123", as `--port` takes it
    QString errorString() const { return m_error; }

private:
    void takeNextClient();
    void onClientGone();

    SimulatedScale& m_scale;
    int m_baud;
    QElapsedTimer m_clock;
    QTcpServer* m_server;
    QPointer<QTcpSocket> m_client;
    Pacer* m_pacer = nullptr;
    QString m_error;
};

// "HOST:PORT" with HOST an IPv4 address, "localhost" or "[IPv6]"; false when it is none.
bool parseHostPort(const QString& text, QHostAddress& address, quint16& port);
