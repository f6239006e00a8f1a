#include "ReplyLink.h"

#include "serial/Clock.h"

#include <algorithm>

namespace {
constexpr uint8_t kBreak = 0xFF;
constexpr uint8_t kRefuseOpen = 0xFE;
constexpr uint8_t kLate = 0x80;
constexpr uint8_t kLengthMask = 0x7F;
} // namespace

ReplyLink::ReplyLink(const uint8_t* data, size_t size, ManualClock& clock)
    : data_(data), size_(size) {
    clock.setOnWait([this](qint64) { deliverLate(); });
}

bool ReplyLink::openNow() {
    if (refuseNextOpen_) {
        refuseNextOpen_ = false;
        error_ = QStringLiteral("device refused");
        return false;
    }
    open_ = true;
    broken_ = false;
    received_.clear();
    late_.clear();
    return true;
}

void ReplyLink::close() {
    open_ = false;
    received_.clear();
    late_.clear();
}

bool ReplyLink::write(const QByteArray& bytes) {
    if (!open_ || broken_) {
        error_ = QStringLiteral("write on a broken link");
        return false;
    }
    written_ += bytes;
    writes_.append(bytes);
    answer();
    return true;
}

QByteArray ReplyLink::takeAll() {
    QByteArray all;
    all.swap(received_);
    return all;
}

void ReplyLink::answer() {
    replies_.append(QByteArray());
    if (pos_ >= size_)
        return; // silence
    const uint8_t header = data_[pos_++];
    if (header == kBreak) {
        broken_ = true;
        error_ = QStringLiteral("cable pulled");
        Q_EMIT failed(error_);
        return;
    }
    if (header == kRefuseOpen) {
        refuseNextOpen_ = true;
        return;
    }
    const size_t length = std::min<size_t>(header & kLengthMask, size_ - pos_);
    const QByteArray reply(reinterpret_cast<const char*>(data_ + pos_), qsizetype(length));
    pos_ += length;
    replies_.last() = reply;
    if (header & kLate) {
        late_ += reply;
        return;
    }
    received_ += reply;
    Q_EMIT readyRead();
}

void ReplyLink::deliverLate() {
    if (late_.isEmpty() || !open_)
        return;
    received_ += late_;
    late_.clear();
    Q_EMIT readyRead();
}
