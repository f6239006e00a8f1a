#pragma once

// Makes SIGTERM and SIGINT end the running QCoreApplication event loop cleanly (exit code 0
// from exec()), instead of killing the process in the middle of a write. The signal handler
// only writes a byte into a socket pair; the event loop reads it and quits.
// Returns false (errno set) when the socket pair or the handlers cannot be set up.
bool quitOnTerminationSignals();
