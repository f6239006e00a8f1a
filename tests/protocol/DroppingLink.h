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
        : m_inner(std::move(inner)), m_name(std::move(name)), m_limit(dropAfterBytes) {
        connect(m_inner.get(), &Link::readyRead, this, &Link::readyRead);
        connect(m_inner.get(), &Link::failed, this, &Link::failed);
    }

    QString name() const override { return m_name; }
    bool open() override { return !m_dropped && m_inner->open(); }
    void close() override { m_inner->close(); }
    bool isOpen() const override { return !m_dropped && m_inner->isOpen(); }
    QString errorString() const override { return m_dropped ? kReason : m_inner->errorString(); }

    bool write(const QByteArray& bytes) override {
        if (m_dropped)
            return false;
        if (m_limit >= 0 && m_written + bytes.size() > m_limit) {
            const qint64 allowed = m_limit - m_written;
            if (allowed > 0)
                m_inner->write(bytes.left(allowed));
            m_written = m_limit;
            m_dropped = true;
            m_inner->close(); // whatever was on its way back is lost with the cable
            Q_EMIT failed(kReason);
            return false;
        }
        m_written += bytes.size();
        return m_inner->write(bytes);
    }
    qint64 bytesWaiting() const override { return m_dropped ? 0 : m_inner->bytesWaiting(); }
    QByteArray takeAll() override { return m_dropped ? QByteArray() : m_inner->takeAll(); }

    bool dropped() const { return m_dropped; }

private:
    std::unique_ptr<Link> m_inner;
    QString m_name;
    qint64 m_limit;
    qint64 m_written = 0;
    bool m_dropped = false;
};
