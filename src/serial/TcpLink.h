#pragma once

#include "serial/Link.h"

#include <QTcpSocket>

// A serial device server reached as tcp://HOST:PORT: the bytes of the scale's line travel
// in a TCP connection.
class TcpLink : public Link {
    Q_OBJECT
public:
    explicit TcpLink(const QString& address, QObject* parent = nullptr);
    ~TcpLink() override;

    QString name() const override { return address_; }

    // Connects within the connect time-out, suspending the coroutine that awaits it; close()
    // meanwhile cancels the attempt.
    async::Task<bool> open() override;
    void close() override;
    bool isOpen() const override;
    QString errorString() const override { return error_; }

    bool write(const QByteArray& bytes) override;
    qint64 bytesWaiting() const override;
    QByteArray takeAll() override;
    QByteArray peekWaiting() override;

    // Splits "tcp://HOST:PORT"; false when it is not of that form.
    static bool parseAddress(const QString& address, QString* host, quint16* port);

private:
    void onConnectionLost();

    QString address_;
    QString error_;
    QTcpSocket socket_;
    static constexpr int kConnectTimeoutMs = 3000;
    bool connected_ = false; // open in the link's sense: connected and not closed since
};
