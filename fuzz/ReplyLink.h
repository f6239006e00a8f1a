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
    async::Task<bool> open() override { co_return openNow(); }
    void close() override;
    bool isOpen() const override { return open_; }
    QString errorString() const override { return error_; }
    bool write(const QByteArray& bytes) override;
    qint64 bytesWaiting() const override { return received_.size(); }
    QByteArray takeAll() override;

    QByteArray written() const { return written_; }             // every byte the program sent
    const QList<QByteArray>& writes() const { return writes_; } // each write, in order
    // The reply given to each write, in order (empty for silence, a break or a refusal).
    const QList<QByteArray>& replies() const { return replies_; }

private:
    bool openNow();
    void answer();
    void deliverLate();

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool open_ = true;
    bool broken_ = false;
    bool refuseNextOpen_ = false;
    QString error_;
    QByteArray received_;
    QByteArray late_;
    QByteArray written_;
    QList<QByteArray> writes_;
    QList<QByteArray> replies_;
};
