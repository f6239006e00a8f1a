#pragma once

#include "async/Task.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <functional>

class Link;
class TransferAbort;

// Why a wait returned.
enum class WaitResult {
    Data,       // the link reported new bytes
    LinkFailed, // the link reported a failure
    Deadline,   // the clock reached the deadline (or, for the real clock, its timer fired)
    Cancelled,  // the abort object fired (or had fired before the wait)
};

// The monotonic time base of every time-out and pause on the line. Time is in milliseconds
// from an arbitrary origin; it never goes backwards and knows nothing of the wall clock.
class Clock {
public:
    virtual ~Clock() = default;

    virtual qint64 nowMs() const = 0;

    // Ends when the link (may be null) has new bytes or fails, the deadline passes, or the
    // abort object (may be null) fires, whichever comes first. A Deadline result is a hint:
    // callers compare nowMs() with their deadline themselves, so a timer that fires a little
    // early never shortens a time-out.
    virtual async::Task<WaitResult> waitUntil(qint64 deadlineMs, Link* link,
                                              const TransferAbort* abort) = 0;
};

// Production clock: QElapsedTimer (monotonic). A wait suspends the coroutine that waits and
// returns to the event loop; the link's signals, a precise single-shot deadline timer or the
// abort signal resume it, from the event loop again. Nothing spins, nothing nests.
class RealClock : public Clock {
public:
    RealClock();
    qint64 nowMs() const override;
    async::Task<WaitResult> waitUntil(qint64 deadlineMs, Link* link,
                                      const TransferAbort* abort) override;

private:
    QElapsedTimer timer_;
};

// Test clock. A wait processes the pending events once, in place, and never suspends: an
// exchange on this clock has ended when the call that started it returns. When the events
// brought no news from the link, time jumps straight to the deadline, so a five-second
// time-out costs microseconds. The time jumped over is added up, so tests can assert how
// long an exchange waited.
class ManualClock : public Clock {
public:
    explicit ManualClock(qint64 startMs = 0) : now_(startMs) {}

    qint64 nowMs() const override { return now_; }
    async::Task<WaitResult> waitUntil(qint64 deadlineMs, Link* link,
                                      const TransferAbort* abort) override;

    void advance(qint64 ms) { now_ += ms; }
    qint64 waitedMs() const { return waited_; } // total time jumped over by waits
    int waits() const { return waits_; }        // number of waits so far

    // Runs at the start of every wait, before the events are processed: lets a test deliver
    // bytes "while the program waits". Gets the wait's deadline.
    void setOnWait(std::function<void(qint64 deadlineMs)> hook) { onWait_ = std::move(hook); }

private:
    qint64 now_;
    qint64 waited_ = 0;
    int waits_ = 0;
    std::function<void(qint64)> onWait_;
};
