#pragma once

#include "async/Task.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// The port as the exchanges with the scale see it. Implementations: a serial device, a TCP
// serial device server, and the in-process simulated scale.
class Link : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Link() override = default;

    virtual QString name() const = 0; // as the operator chose it: "COM1", "/dev/ttyUSB0", ...

    // Opens the link with an empty receive buffer: whatever the system still holds from
    // before is discarded. False when it cannot be opened; errorString() says why. A link
    // whose opening waits (a TCP connection) suspends the awaiting coroutine; close()
    // meanwhile cancels the attempt. The others have opened when the call returns.
    virtual async::Task<bool> open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString errorString() const = 0;

    // Queues the bytes and returns at once. False when the link has failed.
    virtual bool write(const QByteArray& bytes) = 0;
    virtual qint64 bytesWaiting() const = 0;
    virtual QByteArray takeAll() = 0; // returns and removes every waiting byte
    // Every waiting byte, left waiting: what the line log shows of a receive that timed out.
    // A link that cannot look without taking shows nothing.
    virtual QByteArray peekWaiting() { return {}; }

Q_SIGNALS:
    void readyRead();                   // new bytes are waiting
    void failed(const QString& reason); // the open link broke (device gone, connection lost)
};

// "cannot open port" + label + ": " + reason: how the window and the jobs say that a port
// could not be opened. The label follows the word directly ("1", " /dev/ttyUSB0").
QString cannotOpenText(const QString& label, const QString& reason);

// An error text of a link without the port name it starts with ("/dev/ttyUSB0: No such
// file or directory" gives "No such file or directory"), for texts that name the port
// already.
QString withoutPortName(const QString& reason);
