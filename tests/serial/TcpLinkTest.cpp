#include "serial/TcpLink.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

QString addressOf(const QTcpServer& server) {
    return QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
}

TEST(TcpLink, ConnectsAndCarriesBytesBothWays) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    TcpLink link(addressOf(server));
    EXPECT_EQ(link.name(), addressOf(server));
    ASSERT_TRUE(async::waitFor(link.open())) << link.errorString().toStdString();
    EXPECT_TRUE(link.isOpen());
    if (!server.hasPendingConnections()) {
        ASSERT_TRUE(server.waitForNewConnection(5000));
    }
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_NE(peer, nullptr);

    // The link sends from the event loop, so the peer waits by running it.
    QSignalSpy peerReady(peer, &QTcpSocket::readyRead);
    ASSERT_TRUE(link.write(QByteArray("\xA5\x00", 2)));
    while (peer->bytesAvailable() < 2)
        ASSERT_TRUE(peerReady.wait(5000));
    EXPECT_EQ(peer->readAll(), QByteArray("\xA5\x00", 2));

    QSignalSpy readyRead(&link, &Link::readyRead);
    peer->write("\x77");
    ASSERT_TRUE(readyRead.wait(5000));
    EXPECT_EQ(link.bytesWaiting(), 1);
    EXPECT_EQ(link.takeAll(), QByteArray("\x77"));

    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write("x"));
}

TEST(TcpLink, ServerClosingTheConnectionFailsTheLink) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    TcpLink link(addressOf(server));
    ASSERT_TRUE(async::waitFor(link.open()));
    if (!server.hasPendingConnections()) {
        ASSERT_TRUE(server.waitForNewConnection(5000));
    }
    QTcpSocket* peer = server.nextPendingConnection();
    QSignalSpy failed(&link, &Link::failed);
    peer->close();
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(failed.first().first().toString(),
              QStringLiteral("the device server closed the connection"));

    // It can be opened again once the server takes connections.
    ASSERT_TRUE(async::waitFor(link.open()));
    EXPECT_TRUE(link.isOpen());
}

TEST(TcpLink, RefusedConnectionSaysSo) {
    quint16 freePort;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        freePort = probe.serverPort();
    }
    TcpLink link(QStringLiteral("tcp://127.0.0.1:%1").arg(freePort));
    EXPECT_FALSE(async::waitFor(link.open()));
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(link.errorString().startsWith(link.name() + QStringLiteral(": ")))
        << link.errorString().toStdString();
}

TEST(TcpLink, AddressesOtherThanTcpHostPortAreRefusedBeforeConnecting) {
    QString host;
    quint16 port = 0;
    EXPECT_TRUE(TcpLink::parseAddress(QStringLiteral("tcp://192.168.1.20:4001"), &host, &port));
    EXPECT_EQ(host, QStringLiteral("192.168.1.20"));
    EXPECT_EQ(port, 4001);
    EXPECT_TRUE(TcpLink::parseAddress(QStringLiteral("tcp://scale-server:23"), &host, &port));
    EXPECT_TRUE(TcpLink::parseAddress(QStringLiteral("tcp://[::1]:5000"), &host, &port));
    EXPECT_EQ(host, QStringLiteral("::1"));

    for (const char* bad : {"tcp://host", "tcp://:4001", "tcp://host:0", "tcp://host:70000",
                            "tcp://host:4001/path", "udp://host:4001", "tcp://host:port"}) {
        EXPECT_FALSE(TcpLink::parseAddress(QString::fromLatin1(bad), &host, &port)) << bad;
        TcpLink link{QString::fromLatin1(bad)};
        EXPECT_FALSE(async::waitFor(link.open())) << bad;
        EXPECT_TRUE(link.errorString().contains(QStringLiteral("tcp://HOST:PORT"))) << bad;
    }
}

} // namespace
