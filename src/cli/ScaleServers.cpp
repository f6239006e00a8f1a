#include "cli/ScaleServers.h"

#include "protocol/SimulatedScale.h"

#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyScaleServer::PtyScaleServer(SimulatedScale& scale, int baud, QObject* parent)
    : QObject(parent), m_scale(scale), m_pacer(baud) {
    m_clock.start();
    connect(&m_pacer, &Pacer::released, this, &PtyScaleServer::send);
}

PtyScaleServer::~PtyScaleServer() {
    delete m_readable;
    delete m_writable;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyScaleServer::start() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) {
        m_error = systemError("cannot create a pseudo-terminal");
        return false;
    }
    char path[128] = {};
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, path, sizeof path) != 0) {
        m_error = systemError("cannot prepare the pseudo-terminal");
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(path);
    m_slave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw = {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &raw) != 0) {
        m_error = systemError("cannot open the pseudo-terminal's slave");
        return false;
    }
    ::cfmakeraw(&raw);
    if (::tcsetattr(m_slave, TCSANOW, &raw) != 0) {
        m_error = systemError("cannot put the pseudo-terminal into raw mode");
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_readable = new QSocketNotifier(m_master, QSocketNotifier::Read);
    connect(m_readable, &QSocketNotifier::activated, this, &PtyScaleServer::readRequests);
    m_writable = new QSocketNotifier(m_master, QSocketNotifier::Write);
    m_writable->setEnabled(false);
    connect(m_writable, &QSocketNotifier::activated, this, &PtyScaleServer::flushPending);
    return true;
}

void PtyScaleServer::readRequests() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0)
            return; // EAGAIN: all read; EIO cannot happen while the slave is held open here
        m_pacer.push(m_scale.feed(QByteArray(buffer, got), m_clock.elapsed()));
    }
}

void PtyScaleServer::send(const QByteArray& bytes) {
    m_unsent += bytes;
    flushPending();
}

void PtyScaleServer::flushPending() {
    while (!m_unsent.isEmpty()) {
        const ssize_t put = ::write(m_master, m_unsent.constData(), size_t(m_unsent.size()));
        if (put <= 0)
            break; // the slave's input queue is full: wait until the master is writable
        m_unsent.remove(0, put);
    }
    m_writable->setEnabled(!m_unsent.isEmpty());
}

TcpScaleServer::TcpScaleServer(SimulatedScale& scale, int baud, QObject* parent)
    : QObject(parent), m_scale(scale), m_baud(baud), m_server(new QTcpServer(this)) {
    m_clock.start();
    connect(m_server, &QTcpServer::newConnection, this, &TcpScaleServer::takeNextClient);
}

bool TcpScaleServer::start(const QHostAddress& address, quint16 port) {
    if (!m_server->listen(address, port)) {
        m_error = m_server->errorString();
        return false;
    }
    return true;
}

QString TcpScaleServer::portName() const {
    const QHostAddress address = m_server->serverAddress();
    QString host = address.toString();
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return QStringLiteral("tcp://%1:%2").arg(host).arg(m_server->serverPort());
}

void TcpScaleServer::takeNextClient() {
    if (m_client || !m_server->hasPendingConnections())
        return;
    m_client = m_server->nextPendingConnection();
    m_server->pauseAccepting(); // the next one waits until this one has gone
    m_scale.dropFrame();        // a new connection is a freshly opened port
    m_pacer = new Pacer(m_baud, m_client);
    QTcpSocket* client = m_client;
    connect(m_pacer, &Pacer::released, client,
            [client](const QByteArray& bytes) { client->write(bytes); });
    connect(client, &QTcpSocket::readyRead, this,
            [this, client] { m_pacer->push(m_scale.feed(client->readAll(), m_clock.elapsed())); });
    connect(client, &QTcpSocket::disconnected, this, &TcpScaleServer::onClientGone);
    connect(client, &QTcpSocket::errorOccurred, this, &TcpScaleServer::onClientGone);
}

void TcpScaleServer::onClientGone() {
    if (!m_client)
        return;
    QTcpSocket* client = m_client;
    m_client = nullptr;
    m_pacer = nullptr; // a child of the socket
    client->disconnect(this);
    client->abort();
    client->deleteLater();
    m_server->resumeAccepting();
    takeNextClient();
}

bool parseHostPort(const QString& text, QHostAddress& address, quint16& port) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    bool ok = false;
    const uint number = text.mid(colon + 1).toUInt(&ok);
    if (!ok || number > 65535)
        return false;
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        address = QHostAddress(QHostAddress::LocalHost);
    else if (!address.setAddress(host))
        return false;
    port = quint16(number);
    return true;
}
