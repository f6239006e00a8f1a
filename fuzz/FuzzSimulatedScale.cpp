// Feeds arbitrary bytes to the simulated scale's state machine, with faults of an arbitrary
// --fault text. The input is a fault text up to the first newline, then chunks of line
// traffic, each opened by one header byte: bits 5..7 the pause before it in tenths of a
// second, bits 0..4 its length. Whatever it was fed, the scale keeps records of the right
// sizes, and after an idle gap it is ready for the next exchange again.
#include "FuzzApp.h"

#include "protocol/FaultSpec.h"
#include "protocol/ScaleBytes.h"
#include "protocol/SimulatedScale.h"
#include "serial/Wire.h"

#include <algorithm>
#include <cstdint>

namespace {

using namespace scale_bytes;

constexpr qsizetype kLongestFaultText = 64;
// The most one byte in can bring out: an upload reply one byte long plus a stray byte.
constexpr qsizetype kMostOutPerByte = scale::kStandardScale.uploadReplySize + 2;

QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

void applyFaultText(SimulatedScale& scale, const QByteArray& text) {
    QString error;
    const auto faults = parseFaults(QString::fromLatin1(text), &error);
    if (!faults) {
        if (error.isEmpty())
            fuzzFailure("a refused fault text must say what is wrong");
        return;
    }
    for (const Fault& fault : *faults) {
        if (fault.remaining == 0 || fault.remaining < -1)
            fuzzFailure("a fault was parsed with a count that never runs out or is negative");
    }
    scale.addFaults(*faults);
}

void checkStoredSizes(const SimulatedScale& scale) {
    for (const quint16 n : scale.pluNumbers()) {
        if (scale.pluRecord(n)->size() != scale::kStandardScale.pluRecordSize)
            fuzzFailure("a PLU record of the wrong size was stored");
    }
    for (const quint16 n : scale.ingredNumbers()) {
        if (scale.ingredRecord(n)->size() != scale::kStandardScale.ingredRecordSize)
            fuzzFailure("an ingredient record of the wrong size was stored");
    }
}

// After an idle gap, without faults, a display read and an upload must work from any state.
void checkReadyAfterGap(SimulatedScale& scale, qint64& now) {
    scale.clearFaults();
    now += scale::kStandardScale.idleResetMs;
    const QByteArray display = scale.feed(QByteArray("\xA5\x06", 2), now);
    if (display != char(kSyncAnswer) + scale.display().toRecord())
        fuzzFailure("after an idle gap the display read did not get its answer");

    const QList<quint16> held = scale.pluNumbers();
    if (held.isEmpty())
        return;
    const quint16 n = held.last();
    now += scale::kStandardScale.idleResetMs;
    const QByteArray reply = scale.feed(QByteArray("\xA5\x05", 2) + bigEndianBytes(n, 2), now);
    const QByteArray head = QByteArray(1, char(kSyncAnswer)) + char(kCommandAnswer);
    if (reply.size() != 2 + scale::kStandardScale.uploadReplySize || !reply.startsWith(head) ||
        bigEndianValue(reply, 2, 2) != n || bigEndianValue(reply, 4, 2) != n ||
        reply.mid(6, scale::kStandardScale.pluRecordSize) != *scale.pluRecord(n) ||
        quint8(reply.back()) != kRecordAccepted)
        fuzzFailure("after an idle gap an upload did not return the record held");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureCoreApplication();
    SimulatedScale scale = SimulatedScale::withSamples();

    size_t pos = 0;
    while (pos < size && data[pos] != '\n' && qsizetype(pos) < kLongestFaultText)
        ++pos;
    if (pos > 0)
        applyFaultText(scale, bytesOf(data, pos));
    if (pos < size && data[pos] == '\n')
        ++pos;

    qint64 now = 0;
    while (pos < size) {
        const uint8_t header = data[pos++];
        now += (header >> 5) * 100;
        const size_t length = std::min<size_t>(header & 0x1F, size - pos);
        const QByteArray in = bytesOf(data + pos, length);
        pos += length;
        const QByteArray out = scale.feed(in, now);
        if (out.size() > in.size() * kMostOutPerByte)
            fuzzFailure("the scale answered with more bytes than any exchange has");
    }
    checkStoredSizes(scale);
    checkReadyAfterGap(scale, now);
    return 0;
}
