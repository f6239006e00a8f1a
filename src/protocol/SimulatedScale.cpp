#include "protocol/SimulatedScale.h"

#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"
#include "protocol/ScaleBytes.h"
#include "serial/Wire.h"

using namespace scale_bytes;

QByteArray DisplayValues::toRecord(const scale::ScaleModel& model) const {
    const int size = model.displayValueSize();
    return bigEndianBytes(weight, size) + bigEndianBytes(unitPrice, size) +
           bigEndianBytes(totalPrice, size);
}

QByteArray SimulatedScale::feed(const QByteArray& in, qint64 nowMs) {
    if (state_ != State::Idle && nowMs - lastInputMs_ >= model_.idleResetMs)
        dropFrame();
    lastInputMs_ = nowMs;

    QByteArray out;
    for (const char c : in) {
        const quint8 byte = quint8(c);
        switch (state_) {
        case State::Idle:
            onIdle(byte, out);
            break;
        case State::AwaitCommand:
            onCommand(byte, out);
            break;
        case State::AwaitNumber:
            frame_.append(char(byte));
            if (frame_.size() == 2)
                onNumber(out);
            break;
        case State::AwaitRecord:
        case State::SwallowRecord:
            frame_.append(char(byte));
            if (frame_.size() == recordSize())
                onRecord(out);
            break;
        }
    }
    return out;
}

void SimulatedScale::dropFrame() {
    state_ = State::Idle;
    frame_.clear();
}

void SimulatedScale::onIdle(quint8 byte, QByteArray& out) {
    if (byte != kSync)
        return; // line noise while idle is ignored
    ++exchanges_;
    if (fire(FaultKind::Silence, false))
        return;
    if (fire(FaultKind::Sync, false)) {
        out.append(char(kWrongSyncAnswer));
        return;
    }
    out.append(char(kSyncAnswer));
    if (fire(FaultKind::Stray, false))
        out.append('\0');
    state_ = State::AwaitCommand;
}

void SimulatedScale::onCommand(quint8 byte, QByteArray& out) {
    state_ = State::Idle;
    switch (byte) {
    case kSync: // a new sync instead of a command: start over
        onIdle(byte, out);
        return;
    case kDisplayRead: {
        QByteArray record = display_.toRecord(model_);
        if (fire(FaultKind::Short, false))
            record.chop(1);
        else if (fire(FaultKind::Long, false))
            record.append('\0');
        out += record;
        return;
    }
    case kPluDownload:
    case kIngredDownload:
    case kPluUpload:
        if (fire(FaultKind::Command, false)) {
            out.append(char(kWrongAnswer));
            return;
        }
        out.append(char(kCommandAnswer));
        command_ = byte;
        frame_.clear();
        state_ = State::AwaitNumber;
        return;
    default:
        return; // an unknown command is ignored
    }
}

void SimulatedScale::onNumber(QByteArray& out) {
    number_ = quint16(bigEndianValue(frame_, 0, 2));
    frame_.clear();
    state_ = State::Idle;

    if (isDownload()) {
        if (fire(FaultKind::Silence, true)) {
            state_ = State::SwallowRecord;
        } else if (fire(FaultKind::Echo, true)) {
            out += bigEndianBytes(quint16(number_ + 1), 2);
            state_ = State::SwallowRecord;
        } else {
            out += bigEndianBytes(number_, 2);
            state_ = State::AwaitRecord;
        }
        return;
    }

    if (fire(FaultKind::Silence, true))
        return;
    QByteArray reply = uploadReply(number_);
    if (fire(FaultKind::EndByte, true))
        reply[reply.size() - 1] = char(kWrongAnswer);
    if (fire(FaultKind::Short, true))
        reply.chop(1);
    else if (fire(FaultKind::Long, true))
        reply.append('\0');
    if (fire(FaultKind::Stray, true))
        reply.append('\0');
    out += reply;
}

void SimulatedScale::onRecord(QByteArray& out) {
    const bool swallow = state_ == State::SwallowRecord;
    const QByteArray record = frame_;
    frame_.clear();
    state_ = State::Idle;
    if (swallow)
        return;
    if (fire(FaultKind::Ack, true)) {
        out.append(char(kWrongAnswer));
        return;
    }
    if (command_ == kPluDownload)
        storePlu(number_, record);
    else
        storeIngred(number_, record);
    out.append(char(kRecordAccepted));
    if (fire(FaultKind::Stray, true))
        out.append('\0');
}

bool SimulatedScale::isDownload() const {
    return command_ == kPluDownload || command_ == kIngredDownload;
}

int SimulatedScale::recordSize() const {
    return command_ == kPluDownload ? model_.pluRecordSize : model_.ingredRecordSize;
}

bool SimulatedScale::fire(FaultKind kind, bool atNumberStep) {
    for (qsizetype i = 0; i < faults_.size(); ++i) {
        Fault& fault = faults_[i];
        if (fault.kind != kind)
            continue;
        // Silence and stray act at the sync unless they name a number.
        const bool numberBound = fault.boundToNumber();
        if ((kind == FaultKind::Silence || kind == FaultKind::Stray) && numberBound != atNumberStep)
            continue;
        if (numberBound && (!atNumberStep || fault.at != number_))
            continue;
        if (fault.target == Fault::Target::Exchange && exchanges_ < fault.at)
            continue;
        if (fault.remaining > 0 && --fault.remaining == 0)
            faults_.removeAt(i);
        return true;
    }
    return false;
}

void SimulatedScale::storePlu(quint16 pluNo, const QByteArray& record) {
    plus_.insert(pluNo, record);
}

QString SimulatedScale::storePlu(const PluRecord& record) {
    if (record.PluNo < 0 || record.PluNo > model_.largestNumber)
        return QStringLiteral("PluNo %1 cannot be held: it must lie between 0 and %2")
            .arg(record.PluNo)
            .arg(model_.largestNumber);
    const EncodedRecord encoded = plu_wire::encode(record, model_);
    if (!encoded.ok())
        return encoded.error;
    storePlu(quint16(record.PluNo), encoded.bytes);
    return {};
}

std::optional<QByteArray> SimulatedScale::pluRecord(quint16 pluNo) const {
    const auto it = plus_.constFind(pluNo);
    if (it == plus_.constEnd())
        return std::nullopt;
    return *it;
}

void SimulatedScale::storeIngred(quint16 messageNo, const QByteArray& record) {
    ingreds_.insert(messageNo, record);
}

std::optional<QByteArray> SimulatedScale::ingredRecord(quint16 messageNo) const {
    const auto it = ingreds_.constFind(messageNo);
    if (it == ingreds_.constEnd())
        return std::nullopt;
    return *it;
}

QByteArray SimulatedScale::uploadReply(quint16 n) const {
    const auto record = pluRecord(n);
    if (!record) {
        // First two bytes differ from n: the scale does not hold it.
        QByteArray reply = bigEndianBytes(n == 0xFFFF ? 0 : 0xFFFF, 2);
        reply += QByteArray(model_.uploadReplySize - 3, '\0');
        reply.append(char(kRecordAccepted));
        return reply;
    }
    return bigEndianBytes(n, 2) + bigEndianBytes(n, 2) + *record + char(kRecordAccepted);
}

SimulatedScale SimulatedScale::withSamples() {
    SimulatedScale scale;
    const PluRecord samples[] = {
        {1, 1001, QStringLiteral("Apples"), QStringLiteral("Braeburn"), 349, 7, 0, 1, 0},
        {2, 1002, QStringLiteral("Bread"), QStringLiteral("Rye loaf"), 425, 3, 20, 2, 1},
        {3, 1003, QStringLiteral("Cheese"), QStringLiteral("Mountain, mild"), 1890, 21, 5, 3, 2},
        {4, 1004, QStringLiteral("Olives"), QStringLiteral("Green, pitted"), 1260, 30, 12, 3, 0},
        {5, 1005, QStringLiteral("Salmon"), QStringLiteral("Smoked fillet"), 3990, 5, 8, 4, 3},
    };
    for (const PluRecord& sample : samples)
        scale.storePlu(sample);
    scale.setDisplay({1250, 899, 1124});
    return scale;
}
