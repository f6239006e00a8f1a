#pragma once

#include "async/Task.h"
#include "protocol/DisplayValues.h"
#include "protocol/Outcome.h"

#include <QString>

#include <optional>

class Wire;

struct DisplayReadResult {
    // Done when the record came (`values` hold it); GaveUp when the scale did not answer the
    // sync with 0x77, or answered it but sent no display record (`recordMissing`, `values`
    // zeros); PortLost when the link failed or is not open; Cancelled when the wait was
    // aborted. The reason says what the scale did, in words that follow "the scale".
    Ending ending{Outcome::GaveUp, {}};
    DisplayValues values; // what the read-out boxes show, when showValues()
    bool recordMissing = false;
    // When the sync failed: the byte the scale answered instead of 0x77; none when no single
    // byte came.
    std::optional<quint8> syncAnswer;

    // True when the read-out boxes are to be set to `values`.
    bool showValues() const { return ending.done() || recordMissing; }
};

// The display read: 0xA5, expect 0x77, 0x06, then the display record (12 bytes) within its
// time limit (five seconds) on the wire's scale model. A missing record shows as three
// zeros. The port is neither closed nor reopened, and no status text is shown: the caller
// reports how it ended. A coroutine; the wire must outlive it.
async::Task<DisplayReadResult> readDisplay(Wire& wire);
