#pragma once

#include <QString>

// Port names as an operator of this system writes them, for the examples in texts (the
// window's hints, scalectl's help and the manual made from it): COM ports on Windows, device
// paths elsewhere.
struct PortExamples {
    QString aDevice;        // "another port such as COM3", "a device path such as /dev/ttyUSB0"
    QString serial;         // a USB-serial adapter: "COM3", "/dev/ttyUSB0"
    QString secondSerial;   // the next one: "COM4", "/dev/ttyUSB1"
    QString simulateOption; // what `scalectl simulate` serves here: "--tcp ...", "--pty"
    QString simulatedPort;  // the port a client then gives: "tcp://...", "/dev/pts/5"
    QString ptyPath;        // what `simulate --pty` prints: "on Linux only", "e.g. /dev/pts/5"
};

const PortExamples& portExamples();

// `text` with "{a-device}", "{serial}", "{serial2}", "{simulate}", "{simulated-port}" and
// "{pty-path}" replaced by this system's examples: texts with examples are written once for
// every system.
QString withPortExamples(QString text);
