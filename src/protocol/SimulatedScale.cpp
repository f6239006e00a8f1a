#include "protocol/SimulatedScale.h"

#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"
#include "protocol/ScaleBytes.h"
#include "serial/Wire.h"

using namespace scale_bytes;

QByteArray DisplayValues::toRecord() const {
    return bigEndianBytes(weight, 4) + bigEndianBytes(unitPrice, 4) + bigEndianBytes(totalPrice, 4);
}

QByteArray SimulatedScale::feed(const QByteArray& in, qint64 nowMs) {
    if (m_state != State::Idle && nowMs - m_lastInputMs >= kIdleResetMs)
        dropFrame();
    m_lastInputMs = nowMs;

    QByteArray out;
    for (const char c : in) {
        const quint8 byte = quint8(c);
        switch (m_state) {
        case State::Idle:
            onIdle(byte, out);
            break;
        case State::AwaitCommand:
            onCommand(byte, out);
            break;
        case State::AwaitNumber:
            m_frame.append(char(byte));
            if (m_frame.size() == 2)
                onNumber(out);
            break;
        case State::AwaitRecord:
        case State::SwallowRecord:
            m_frame.append(char(byte));
            if (m_frame.size() == recordSize())
                onRecord(out);
            break;
        }
    }
    return out;
}

void SimulatedScale::dropFrame() {
    m_state = State::Idle;
    m_frame.clear();
}

void SimulatedScale::onIdle(quint8 byte, QByteArray& out) {
    if (byte != kSync)
        return; // line noise while idle is ignored
    ++m_exchanges;
    if (fire(FaultKind::Silence, false))
        return;
    if (fire(FaultKind::Sync, false)) {
        out.append(char(kWrongSyncAnswer));
        return;
    }
    out.append(char(kSyncAnswer));
    if (fire(FaultKind::Stray, false))
        out.append('\0');
    m_state = State::AwaitCommand;
}

void SimulatedScale::onCommand(quint8 byte, QByteArray& out) {
    m_state = State::Idle;
    switch (byte) {
    case kSync: // a new sync instead of a command: start over
        onIdle(byte, out);
        return;
    case kDisplayRead: {
        QByteArray record = m_display.toRecord();
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
        m_command = byte;
        m_frame.clear();
        m_state = State::AwaitNumber;
        return;
    default:
        return; // an unknown command is ignored
    }
}

void SimulatedScale::onNumber(QByteArray& out) {
    m_number = quint16(bigEndianValue(m_frame, 0, 2));
    m_frame.clear();
    m_state = State::Idle;

    if (isDownload()) {
        if (fire(FaultKind::Silence, true)) {
            m_state = State::SwallowRecord;
        } else if (fire(FaultKind::Echo, true)) {
            out += bigEndianBytes(quint16(m_number + 1), 2);
            m_state = State::SwallowRecord;
        } else {
            out += bigEndianBytes(m_number, 2);
            m_state = State::AwaitRecord;
        }
        return;
    }

    if (fire(FaultKind::Silence, true))
        return;
    QByteArray reply = uploadReply(m_number);
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
    const bool swallow = m_state == State::SwallowRecord;
    const QByteArray record = m_frame;
    m_frame.clear();
    m_state = State::Idle;
    if (swallow)
        return;
    if (fire(FaultKind::Ack, true)) {
        out.append(char(kWrongAnswer));
        return;
    }
    if (m_command == kPluDownload)
        storePlu(m_number, record);
    else
        storeIngred(m_number, record);
    out.append(char(kRecordAccepted));
    if (fire(FaultKind::Stray, true))
        out.append('\0');
}

bool SimulatedScale::isDownload() const {
    return m_command == kPluDownload || m_command == kIngredDownload;
}

int SimulatedScale::recordSize() const {
    return m_command == kPluDownload ? kPluRecordSize : kIngredRecordSize;
}

bool SimulatedScale::fire(FaultKind kind, bool atNumberStep) {
    for (qsizetype i = 0; i < m_faults.size(); ++i) {
        Fault& fault = m_faults[i];
        if (fault.kind != kind)
            continue;
        // Silence and stray act at the sync unless they name a number.
        const bool numberBound = fault.boundToNumber();
        if ((kind == FaultKind::Silence || kind == FaultKind::Stray) && numberBound != atNumberStep)
            continue;
        if (numberBound && (!atNumberStep || fault.at != m_number))
            continue;
        if (fault.target == Fault::Target::Exchange && m_exchanges < fault.at)
            continue;
        if (fault.remaining > 0 && --fault.remaining == 0)
            m_faults.removeAt(i);
        return true;
    }
    return false;
}

void SimulatedScale::storePlu(quint16 pluNo, const QByteArray& record) {
    m_plus.insert(pluNo, record);
}

QString SimulatedScale::storePlu(const PluRecord& record) {
    if (record.PluNo < 0)
        return QStringLiteral("PluNo %1 cannot be held: it must lie between 0 and 32767")
            .arg(record.PluNo);
    const plu_wire::Encoded encoded = plu_wire::encode(record);
    if (!encoded.ok())
        return encoded.error;
    storePlu(quint16(record.PluNo), encoded.bytes);
    return {};
}

std::optional<QByteArray> SimulatedScale::pluRecord(quint16 pluNo) const {
    const auto it = m_plus.constFind(pluNo);
    if (it == m_plus.constEnd())
        return std::nullopt;
    return *it;
}

void SimulatedScale::storeIngred(quint16 messageNo, const QByteArray& record) {
    m_ingreds.insert(messageNo, record);
}

std::optional<QByteArray> SimulatedScale::ingredRecord(quint16 messageNo) const {
    const auto it = m_ingreds.constFind(messageNo);
    if (it == m_ingreds.constEnd())
        return std::nullopt;
    return *it;
}

QByteArray SimulatedScale::uploadReply(quint16 n) const {
    const auto record = pluRecord(n);
    if (!record) {
        // First two bytes differ from n: the scale does not hold it.
        QByteArray reply = bigEndianBytes(n == 0xFFFF ? 0 : 0xFFFF, 2);
        reply += QByteArray(kUploadReplySize - 3, '\0');
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
