#pragma once

#include "serial/Link.h"

// A link whose far end the test plays: arrive() puts bytes into the receive buffer (and
// signals them), written() shows what the program sent.
class ScriptedLink : public Link {
public:
    QString name() const override { return QStringLiteral("scripted"); }
    async::Task<bool> open() override {
        ++opens;
        if (refuseOpen) {
            error = QStringLiteral("device busy");
            co_return false;
        }
        isOpen_ = true;
        received.clear(); // the contract of open(): nothing stale survives
        co_return true;
    }
    void close() override { isOpen_ = false; }
    bool isOpen() const override { return isOpen_; }
    QString errorString() const override { return error; }
    bool write(const QByteArray& bytes) override {
        if (refuseWrite) {
            error = QStringLiteral("write failed");
            return false;
        }
        sent += bytes;
        return true;
    }
    qint64 bytesWaiting() const override { return received.size(); }
    QByteArray takeAll() override {
        QByteArray all;
        all.swap(received);
        return all;
    }

    void arrive(const QByteArray& bytes) {
        received += bytes;
        Q_EMIT readyRead();
    }
    void breakDown(const QString& reason) {
        error = reason;
        Q_EMIT failed(reason);
    }
    QByteArray written() const { return sent; }

    bool isOpen_ = true;
    bool refuseOpen = false;
    bool refuseWrite = false;
    int opens = 0;
    QString error;
    QByteArray sent;
    QByteArray received;
};
