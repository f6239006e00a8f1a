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
    QString portName() const { return slavePath_; }
    QString errorString() const { return error_; }

private:
    void readRequests();
    void send(const QByteArray& bytes);
    void flushPending();

    SimulatedScale& scale_;
    Pacer pacer_;
    QElapsedTimer clock_;
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString error_;
    QByteArray unsent_; // what the master could not take yet
    QSocketNotifier* readable_ = nullptr;
    QSocketNotifier* writable_ = nullptr;
};

// Serves a simulated scale on a TCP port, one connection at a time: further connections wait
// until the current one ends. Each new connection starts the scale from idle.
class TcpScaleServer : public QObject {
    Q_OBJECT
public:
    TcpScaleServer(SimulatedScale& scale, int baud, QObject* parent = nullptr);

    bool start(const QHostAddress& address, quint16 port); // port 0: any free port
    QString portName() const; // "tcp://127.0.0.1:40123", as `--port` takes it
    QString errorString() const { return error_; }

private:
    void takeNextClient();
    void onClientGone();

    SimulatedScale& scale_;
    int baud_;
    QElapsedTimer clock_;
    QTcpServer* server_;
    QPointer<QTcpSocket> client_;
    Pacer* pacer_ = nullptr;
    QString error_;
};

// "HOST:PORT" with HOST an IPv4 address, "localhost" or "[IPv6]"; false when it is none.
bool parseHostPort(const QString& text, QHostAddress& address, quint16& port);
