#include "serial/PortExamples.h"

const PortExamples& portExamples() {
#ifdef Q_OS_WIN
    static const PortExamples examples{QStringLiteral("another port such as COM3"),
                                       QStringLiteral("COM3"),
                                       QStringLiteral("COM4"),
                                       QStringLiteral("--tcp 127.0.0.1:4001"),
                                       QStringLiteral("tcp://127.0.0.1:4001"),
                                       QStringLiteral("on Linux only")};
#else
    static const PortExamples examples{QStringLiteral("a device path such as /dev/ttyUSB0"),
                                       QStringLiteral("/dev/ttyUSB0"),
                                       QStringLiteral("/dev/ttyUSB1"),
                                       QStringLiteral("--pty"),
                                       QStringLiteral("/dev/pts/5"),
                                       QStringLiteral("e.g. /dev/pts/5")};
#endif
    return examples;
}

QString withPortExamples(QString text) {
    const PortExamples& examples = portExamples();
    return text.replace(QLatin1String("{a-device}"), examples.aDevice)
        .replace(QLatin1String("{serial}"), examples.serial)
        .replace(QLatin1String("{serial2}"), examples.secondSerial)
        .replace(QLatin1String("{simulate}"), examples.simulateOption)
        .replace(QLatin1String("{simulated-port}"), examples.simulatedPort)
        .replace(QLatin1String("{pty-path}"), examples.ptyPath);
}
