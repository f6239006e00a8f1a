#pragma once

#include "serial/Link.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

class ManualClock;

// The far end of the line, played by the fuzzer's input: every write of the program is
// answered with the next reply of the input, so the exchanges meet every reply a broken or
// foreign scale could give. The input is a run of replies, each opened by one header byte:
//
//   0xFF          the link breaks (as a pulled cable): `failed`, writes fail until reopened
//   0xFE          the next open is refused
//   0x00..0xFD    bit 7: the reply arrives during the program's next wait instead of at once;
//                 bits 0..6: its length, the bytes following the header (fewer at the end)
//
// When the input is used up the scale falls silent. Closing drops every byte not yet taken,
// as closing a port does.
class ReplyLink : public Link {
public:
    ReplyLink(const uint8_t* data, size_t size, ManualClock& clock);

    QString name() const override { return QStringLiteral("fuzz"); }
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString errorString() const override { return m_error; }
    bool write(const QByteArray& bytes) override;
    qint64 bytesWaiting() const override { return m_received.size(); }
    QByteArray takeAll() override;

    QByteArray written() const { return m_written; }             // every byte the program sent
    const QList<QByteArray>& writes() const { return m_writes; } // each write, in order
    // The reply given to each write, in order (empty for silence, a break or a refusal).
    const QList<QByteArray>& replies() const { return m_replies; }

private:
    void answer();
    void deliverLate();

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_open = true;
    bool m_broken = false;
    bool m_refuseNextOpen = false;
    QString m_error;
    QByteArray m_received;
    QByteArray m_late;
    QByteArray m_written;
    QList<QByteArray> m_writes;
    QList<QByteArray> m_replies;
};
