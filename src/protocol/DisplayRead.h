#pragma once

#include "async/Task.h"
#include "protocol/DisplayValues.h"

#include <QString>

#include <optional>

class Wire;

// How a display read ended.
enum class DisplayReadOutcome {
    Shown,      // the record came; `values` hold it
    NoRecord,   // the scale answered the sync but no 12-byte record came: `values` are zeros
    NoSync,     // no 0x77 to the sync: nothing is to change anywhere
    LinkFailed, // the link failed or is not open: nothing is to change; `error` says why
    Aborted,    // the wait was aborted: nothing is to change
};

struct DisplayReadResult {
    DisplayReadOutcome outcome = DisplayReadOutcome::NoSync;
    DisplayValues values; // what the read-out boxes show, for Shown and NoRecord
    QString error;
    // For NoSync: the byte the scale answered instead of 0x77; none when no single byte came.
    std::optional<quint8> syncAnswer;

    // True when the read-out boxes are to be set to `values`.
    bool showValues() const {
        return outcome == DisplayReadOutcome::Shown || outcome == DisplayReadOutcome::NoRecord;
    }
};

// The display read: 0xA5, expect 0x77, 0x06, then the display record (12 bytes) within its
// time limit (five seconds) on the wire's scale model. A missing record shows as three
// zeros. The port is neither closed nor reopened.
// What the scale did instead of answering the sync with 0x77, in words ("answered the sync
// with 0x78, not 0x77").
QString syncFailureText(const DisplayReadResult& result);

// A coroutine; the wire must outlive it.
async::Task<DisplayReadResult> readDisplay(Wire& wire);
