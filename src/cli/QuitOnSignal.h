#pragma once

// Makes the operator's "stop" end the running QCoreApplication event loop cleanly (exit code 0
// from exec()), instead of killing the process in the middle of a write: SIGTERM and SIGINT on
// Linux, Ctrl-C, Ctrl-Break and closing the console window on Windows. The handler only
// queues the quit; the event loop carries it out.
// Returns false when the handlers cannot be set up.
bool quitOnTerminationSignals();
