#pragma once

#include "serial/Clock.h"
#include "serial/Link.h"
#include "serial/Wire.h"

#include <QString>

#include <memory>

class TransferAbort;

// The line a transfer command talks to the scale over: the link on PORT opened, with the
// wire primitives on top of it on the real clock. The link is closed at the latest when the
// session ends.
class PortSession {
public:
    // Opens PORT for `scalectl COMMAND`. When it cannot be opened, says so on stderr
    // ("scalectl COMMAND: cannot open PORT: reason") and returns null; the command then
    // ends with ExitRefused.
    static std::unique_ptr<PortSession> open(const QString& command, const QString& port,
                                             const TransferAbort* abort = nullptr);
    ~PortSession();
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    Wire& wire() { return wire_; }
    void close(); // once the transfer is over; closing twice is harmless

private:
    PortSession(std::unique_ptr<Link> link, const TransferAbort* abort);

    std::unique_ptr<Link> link_;
    RealClock clock_;
    Wire wire_;
    bool open_ = true;
};
