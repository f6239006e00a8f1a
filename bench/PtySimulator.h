#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Starts `args` (args[0] is the program's path) with stdout into a pipe whose read end goes to
// `out` (when given) or to /dev/null, and stderr to /dev/null. Returns the pid, or -1.
pid_t spawnProcess(const std::vector<std::string>& args, int* out);

// A running `scalectl simulate --pty [--baud RATE]` (RATE 0: answers at once). The process is
// ended with SIGTERM and reaped when the object goes; while it lives it is also ended when the
// benchmark itself is stopped by a signal (see endSimulatorsOnSignals).
class PtySimulator {
public:
    PtySimulator(const std::string& scalectl, int baud);
    ~PtySimulator();
    PtySimulator(const PtySimulator&) = delete;
    PtySimulator& operator=(const PtySimulator&) = delete;

    // The pseudo-terminal it serves, e.g. /dev/pts/5; empty when it could not be started or
    // did not name its port within a few seconds.
    const std::string& port() const { return port_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string port_;
};

// Ctrl-C, SIGTERM, SIGHUP and the crash signals end every simulator still running before the
// benchmark ends, so none is left serving a pseudo-terminal nobody reads. Call once at start.
void endSimulatorsOnSignals();
