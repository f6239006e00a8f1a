#include "serial/Link.h"

#include <QRegularExpression>

QString withoutPortName(const QString& reason) {
    // "/dev/ttyUSB0: No such file or directory", "tcp://10.0.0.5:4001: Connection refused"
    static const QRegularExpression portPrefix(QStringLiteral("^\\S+: "));
    QString text = reason;
    text.remove(portPrefix);
    return text.isEmpty() ? reason : text;
}

QString cannotOpenText(const QString& label, const QString& reason) {
    return QStringLiteral("cannot open port") + label + QStringLiteral(": ") + reason;
}
