#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair for tests: the slave stands in for a serial port (open it by
// slavePath()), the test plays the far end through the master. The slave is kept open
// here as well, in raw mode, so the line discipline never changes a byte and the master
// stays usable while the port is closed.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isValid() const { return master_ >= 0; }
    QString slavePath() const { return slavePath_; }

    // Sends bytes to whoever has the slave open.
    bool sendFromFarEnd(const QByteArray& bytes);
    // Waits (event-driven, bounded) until `count` bytes written to the slave reach the master.
    QByteArray receiveAtFarEnd(int count, int timeoutMs = 5000);
    // Waits (bounded) until the slave side has input queued, without taking it.
    bool slaveHasInput(int timeoutMs);

    void closeMaster(); // hangs up the line

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};
