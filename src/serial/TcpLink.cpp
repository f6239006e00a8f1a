#include "serial/TcpLink.h"

#include "async/Wake.h"

#include <QTimer>
#include <QUrl>

namespace {
constexpr double kMsPerSecond = 1000.0;
} // namespace

TcpLink::TcpLink(const QString& address, QObject* parent) : Link(parent), address_(address) {
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        if (connected_)
            Q_EMIT readyRead();
    });
    connect(&socket_, &QTcpSocket::disconnected, this, &TcpLink::onConnectionLost);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpLink::onConnectionLost);
}

TcpLink::~TcpLink() {
    socket_.disconnect(this);
    socket_.abort();
}

bool TcpLink::parseAddress(const QString& address, QString* host, quint16* port) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("tcp") || url.host().isEmpty() ||
        url.port() <= 0 || !(url.path().isEmpty() || url.path() == QLatin1String("/")) ||
        url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
        return false;
    *host = url.host();
    *port = quint16(url.port());
    return true;
}

async::Task<bool> TcpLink::open() {
    if (connected_)
        co_return true;
    error_.clear();
    QString host;
    quint16 port = 0;
    if (!parseAddress(address_, &host, &port)) {
        error_ = QStringLiteral("%1: not an address of the form tcp://HOST:PORT").arg(address_);
        co_return false;
    }

    bool timedOut = false;
    socket_.connectToHost(host, port);
    if (socket_.state() != QAbstractSocket::ConnectedState &&
        socket_.state() != QAbstractSocket::UnconnectedState) {
        enum { Settled, TimedOut };
        async::Wake wake;
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, wake.context(), [&wake] { wake.fire(TimedOut); });
        connect(&socket_, &QTcpSocket::connected, wake.context(), [&wake] { wake.fire(Settled); });
        connect(&socket_, &QTcpSocket::errorOccurred, wake.context(),
                [&wake] { wake.fire(Settled); });
        connect(&socket_, &QTcpSocket::stateChanged, wake.context(),
                [&wake](QAbstractSocket::SocketState state) {
                    if (state == QAbstractSocket::UnconnectedState)
                        wake.fire(Settled);
                });
        deadline.start(kConnectTimeoutMs);
        timedOut = co_await wake == TimedOut;
    }

    if (socket_.state() != QAbstractSocket::ConnectedState) {
        if (timedOut)
            error_ = QStringLiteral("%1: no connection within %2 s")
                         .arg(address_)
                         .arg(kConnectTimeoutMs / kMsPerSecond);
        else if (error_.isEmpty())
            error_ = QStringLiteral("%1: %2").arg(address_, socket_.errorString());
        socket_.abort();
        co_return false;
    }
    // A fresh connection has nothing stale yet, but a device server may pass on at once what
    // it buffered while nobody was connected.
    socket_.readAll();
    connected_ = true;
    co_return true;
}

void TcpLink::close() {
    if (!connected_ && socket_.state() != QAbstractSocket::UnconnectedState)
        error_ = QStringLiteral("%1: connection attempt cancelled").arg(address_);
    connected_ = false;
    socket_.abort();
}

bool TcpLink::isOpen() const {
    return connected_;
}

bool TcpLink::write(const QByteArray& bytes) {
    if (!connected_) {
        if (error_.isEmpty())
            error_ = QStringLiteral("%1 is not open").arg(address_);
        return false;
    }
    return socket_.write(bytes) == bytes.size();
}

qint64 TcpLink::bytesWaiting() const {
    return connected_ ? socket_.bytesAvailable() : 0;
}

QByteArray TcpLink::takeAll() {
    return connected_ ? socket_.readAll() : QByteArray();
}

QByteArray TcpLink::peekWaiting() {
    return connected_ ? socket_.peek(socket_.bytesAvailable()) : QByteArray();
}

void TcpLink::onConnectionLost() {
    if (!connected_)
        return;
    connected_ = false;
    // The status texts name the port already; say what happened, then the system's words.
    error_ =
        socket_.error() == QAbstractSocket::RemoteHostClosedError
            ? QStringLiteral("the device server closed the connection")
            : QStringLiteral("the connection stopped answering (%1)").arg(socket_.errorString());
    socket_.abort();
    Q_EMIT failed(error_);
}
