#pragma once

#include <QString>

class TransferAbort;

// Makes the operator's "stop" end the running QCoreApplication event loop cleanly (exit code 0
// from exec()), instead of killing the process in the middle of a write: SIGTERM and SIGINT on
// Linux, Ctrl-C, Ctrl-Break and closing the console window on Windows. The handler only
// queues the stop; the event loop carries it out (see carryOutStop()).
// Returns false when the handlers cannot be set up.
bool quitOnTerminationSignals();

// While it lives, the operator's stop fires `abort` instead of ending the event loop: a
// transfer ends as "Cancel" ends it in the window, and the command then finishes in its own
// time, keeping what it received. Every wait on the line runs the event loop, so the stop is
// seen at once. The handlers are those of quitOnTerminationSignals(); where they cannot be
// set up, a stop ends the process as it would without them.
class AbortOnTerminationSignals {
public:
    explicit AbortOnTerminationSignals(TransferAbort& abort);
    ~AbortOnTerminationSignals();
    AbortOnTerminationSignals(const AbortOnTerminationSignals&) = delete;
    AbortOnTerminationSignals& operator=(const AbortOnTerminationSignals&) = delete;
};

// Called by the platform's handler from the event loop: fires the abort of the living
// AbortOnTerminationSignals, or else ends the event loop. `what` names the stop for the
// abort's reason ("SIGINT", "Ctrl-C").
void carryOutStop(const QString& what);
