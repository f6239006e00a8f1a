#include "cli/ScaleDump.h"

#include "protocol/SimulatedScale.h"

#include <QSaveFile>

QString writeScaleDump(const SimulatedScale& scale, const QString& path) {
    QByteArray text;
    for (const quint16 number : scale.pluNumbers())
        text += "plu " + QByteArray::number(number) + ' ' +
                scale.pluRecord(number).value_or(QByteArray()).toHex() + '\n';
    for (const quint16 number : scale.ingredNumbers())
        text += "ingred " + QByteArray::number(number) + ' ' +
                scale.ingredRecord(number).value_or(QByteArray()).toHex() + '\n';

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return QStringLiteral("cannot write \"%1\": %2").arg(path, file.errorString());
    return {};
}
