#pragma once

#include "serial/Link.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The system's names for the ports the operator calls COM1 and COM2.
struct PortNames {
    QString com1;
    QString com2;

    static PortNames platformDefault(); // /dev/ttyS0, /dev/ttyS1 on Linux; COM1, COM2 on Windows
};

// Makes the link for a port name as the operator gives it:
//   "COM1", "COM2" (any case)  the serial devices `names` maps them to
//   "tcp://HOST:PORT"          a serial device server
//   a registered name          whatever was registered for it (e.g. the simulated scale)
//   anything else              a serial device by its path or name ("/dev/ttyUSB0", "COM7")
std::unique_ptr<Link> createLink(const QString& port,
                                 const PortNames& names = PortNames::platformDefault());

// Lets other parts of the program offer links of their own under a name: `port` selects
// `factory` when it equals `name` or starts with `name` followed by ':'. The factory gets the
// whole port text. A second registration under the same name replaces the first.
using LinkFactoryFunction = std::function<std::unique_ptr<Link>(const QString& port)>;
void registerLinkFactory(const QString& name, LinkFactoryFunction factory);
QStringList registeredLinkNames(); // in the order of registration
