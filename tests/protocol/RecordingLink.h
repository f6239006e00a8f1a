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

    RecordingLink(Link& inner, const Clock& clock) : inner_(inner), clock_(clock) {
        connect(&inner, &Link::readyRead, this, &Link::readyRead);
        connect(&inner, &Link::failed, this, &Link::failed);
    }

    QString name() const override { return inner_.name(); }
    async::Task<bool> open() override {
        events.append({Event::Open, clock_.nowMs(), {}});
        if (refuseOpen) {
            refused_ = true;
            co_return false;
        }
        refused_ = false;
        const bool opened = co_await inner_.open();
        co_return opened;
    }
    void close() override {
        events.append({Event::Close, clock_.nowMs(), {}});
        inner_.close();
    }
    bool isOpen() const override { return inner_.isOpen(); }
    QString errorString() const override {
        return refused_ ? QStringLiteral("device busy") : inner_.errorString();
    }
    bool write(const QByteArray& bytes) override {
        events.append({Event::Write, clock_.nowMs(), bytes});
        written += bytes;
        return inner_.write(bytes);
    }
    qint64 bytesWaiting() const override { return inner_.bytesWaiting(); }
    QByteArray takeAll() override { return inner_.takeAll(); }

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
    Link& inner_;
    const Clock& clock_;
    bool refused_ = false;
};
