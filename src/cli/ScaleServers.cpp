#include "cli/ScaleServers.h"

#include "protocol/SimulatedScale.h"

#include <QTcpServer>
#include <QTcpSocket>

TcpScaleServer::TcpScaleServer(SimulatedScale& scale, int baud, QObject* parent)
    : QObject(parent), scale_(scale), baud_(baud), server_(new QTcpServer(this)) {
    clock_.start();
    connect(server_, &QTcpServer::newConnection, this, &TcpScaleServer::takeNextClient);
}

bool TcpScaleServer::start(const QHostAddress& address, quint16 port) {
    if (!server_->listen(address, port)) {
        error_ = server_->errorString();
        return false;
    }
    return true;
}

QString TcpScaleServer::portName() const {
    const QHostAddress address = server_->serverAddress();
    QString host = address.toString();
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return QStringLiteral("tcp://%1:%2").arg(host).arg(server_->serverPort());
}

void TcpScaleServer::takeNextClient() {
    if (client_ || !server_->hasPendingConnections())
        return;
    client_ = server_->nextPendingConnection();
    server_->pauseAccepting(); // the next one waits until this one has gone
    scale_.dropFrame();        // a new connection is a freshly opened port
    pacer_ = new Pacer(baud_, client_);
    QTcpSocket* client = client_;
    connect(pacer_, &Pacer::released, client,
            [client](const QByteArray& bytes) { client->write(bytes); });
    connect(client, &QTcpSocket::readyRead, this,
            [this, client] { pacer_->push(scale_.feed(client->readAll(), clock_.elapsed())); });
    connect(client, &QTcpSocket::disconnected, this, &TcpScaleServer::onClientGone);
    connect(client, &QTcpSocket::errorOccurred, this, &TcpScaleServer::onClientGone);
}

void TcpScaleServer::onClientGone() {
    if (!client_)
        return;
    QTcpSocket* client = client_;
    client_ = nullptr;
    pacer_ = nullptr; // a child of the socket
    client->disconnect(this);
    client->abort();
    client->deleteLater();
    server_->resumeAccepting();
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
