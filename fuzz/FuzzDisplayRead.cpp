// Feeds arbitrary scale replies to the display read (see ReplyLink.h for the input's form).
// Whatever comes back, the read ends within its time limits, and values are shown only when
// the scale answered the sync with 0x77 and then sent exactly twelve bytes.
#include "FuzzApp.h"
#include "ReplyLink.h"

#include "protocol/DisplayRead.h"
#include "serial/Clock.h"
#include "serial/Wire.h"

#include <cstdint>

namespace {

// What the scale can cost at most: a second for the sync answer, five for the record.
constexpr qint64 kLongestReadMs =
    scale::kStandardScale.limits.byteMs + scale::kStandardScale.limits.displayRecordMs;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureCoreApplication();
    ManualClock clock;
    ReplyLink link(data, size, clock);
    Wire wire(link, clock);
    const DisplayReadResult result = async::waitFor(readDisplay(wire));

    if (clock.nowMs() > kLongestReadMs)
        fuzzFailure("the display read waited longer than its time limits allow");
    const QByteArray sent = link.written();
    const Outcome outcome = result.ending.outcome;
    if (outcome == Outcome::Done) {
        if (sent != QByteArray("\xA5\x06", 2))
            fuzzFailure("a display read sent more than the sync and the command");
        if (link.replies().size() != 2 || link.replies()[1].size() != 12 ||
            result.values.weight != bigEndianValue(link.replies()[1], 0, 4) ||
            result.values.unitPrice != bigEndianValue(link.replies()[1], 4, 4) ||
            result.values.totalPrice != bigEndianValue(link.replies()[1], 8, 4))
            fuzzFailure("the values shown are not those of the twelve bytes received");
    } else if (outcome == Outcome::GaveUp && result.recordMissing) {
        if (sent != QByteArray("\xA5\x06", 2))
            fuzzFailure("a display read sent more than the sync and the command");
        if (result.values.weight != 0 || result.values.unitPrice != 0 ||
            result.values.totalPrice != 0)
            fuzzFailure("a missing record must show as zeros");
    } else if (outcome == Outcome::GaveUp) {
        if (sent != QByteArray("\xA5", 1))
            fuzzFailure("the command was sent without the sync answer");
    } else if (outcome == Outcome::PortLost || outcome == Outcome::Cancelled) {
        if (result.ending.reason.isEmpty())
            fuzzFailure("a failed link must say why");
    } else {
        fuzzFailure("a display read ends done, given up, with its port lost or cancelled");
    }
    return 0;
}
