#pragma once

#include "serial/Link.h"

#include <memory>

// A link whose cable is pulled after a given number of bytes: the write that crosses the
// limit passes on only the bytes up to it, then the link reports the failure and stays dead
// (a device that went away does not open again). A negative limit never drops.
class DroppingLink : public Link {
public:
    static inline const QString kReason = QStringLiteral("the cable was pulled");

    DroppingLink(std::unique_ptr<Link> inner, QString name, qint64 dropAfterBytes)
        : inner_(std::move(inner)), name_(std::move(name)), limit_(dropAfterBytes) {
        connect(inner_.get(), &Link::readyRead, this, &Link::readyRead);
        connect(inner_.get(), &Link::failed, this, &Link::failed);
    }

    QString name() const override { return name_; }
    async::Task<bool> open() override {
        if (dropped_)
            co_return false;
        const bool opened = co_await inner_->open();
        co_return opened;
    }
    void close() override { inner_->close(); }
    bool isOpen() const override { return !dropped_ && inner_->isOpen(); }
    QString errorString() const override { return dropped_ ? kReason : inner_->errorString(); }

    bool write(const QByteArray& bytes) override {
        if (dropped_)
            return false;
        if (limit_ >= 0 && written_ + bytes.size() > limit_) {
            const qint64 allowed = limit_ - written_;
            if (allowed > 0)
                inner_->write(bytes.left(allowed));
            written_ = limit_;
            dropped_ = true;
            inner_->close(); // whatever was on its way back is lost with the cable
            Q_EMIT failed(kReason);
            return false;
        }
        written_ += bytes.size();
        return inner_->write(bytes);
    }
    qint64 bytesWaiting() const override { return dropped_ ? 0 : inner_->bytesWaiting(); }
    QByteArray takeAll() override { return dropped_ ? QByteArray() : inner_->takeAll(); }

    bool dropped() const { return dropped_; }

private:
    std::unique_ptr<Link> inner_;
    QString name_;
    qint64 limit_;
    qint64 written_ = 0;
    bool dropped_ = false;
};
