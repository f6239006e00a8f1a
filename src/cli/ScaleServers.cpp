#include "cli/ScaleServers.h"

#include "protocol/SimulatedScale.h"

#include <QTcpServer>
#include <QTcpSocket>

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
