#pragma once

#include "serial/Clock.h"
#include "serial/Link.h"

#include <QVector>

// Passes everything through to another link and logs what the program did to it: every
// open, close and write, with the clock's time, so tests can check the bytes on the wire and
// the order of reopens and pauses.
class RecordingLink : public Link {
public:
    struct Event {
        enum Kind { Open, Close, Write };
        Kind kind;
        qint64 atMs;
        QByteArray bytes; // for Write
    };

    RecordingLink(Link& inner, const Clock& clock) : m_inner(inner), m_clock(clock) {
        connect(&inner, &Link::readyRead, this, &Link::readyRead);
        connect(&inner, &Link::failed, this, &Link::failed);
    }

    QString name() const override { return m_inner.name(); }
    bool open() override {
        events.append({Event::Open, m_clock.nowMs(), {}});
        if (refuseOpen) {
            m_refused = true;
            return false;
        }
        m_refused = false;
        return m_inner.open();
    }
    void close() override {
        events.append({Event::Close, m_clock.nowMs(), {}});
        m_inner.close();
    }
    bool isOpen() const override { return m_inner.isOpen(); }
    QString errorString() const override {
        return m_refused ? QStringLiteral("device busy") : m_inner.errorString();
    }
    bool write(const QByteArray& bytes) override {
        events.append({Event::Write, m_clock.nowMs(), bytes});
        written += bytes;
        return m_inner.write(bytes);
    }
    qint64 bytesWaiting() const override { return m_inner.bytesWaiting(); }
    QByteArray takeAll() override { return m_inner.takeAll(); }

    // Every write, in order.
    QVector<QByteArray> writes() const {
        QVector<QByteArray> all;
        for (const Event& event : events) {
            if (event.kind == Event::Write)
                all.append(event.bytes);
        }
        return all;
    }

    QVector<Event> events;
    QByteArray written; // every byte written, in order
    bool refuseOpen = false;

private:
    Link& m_inner;
    const Clock& m_clock;
    bool m_refused = false;
};
