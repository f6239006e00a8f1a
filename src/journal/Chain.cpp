#include "journal/Chain.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace journal::chain {

namespace {

void appendLength(QByteArray& out, qsizetype size) {
    char bytes[4];
    qToBigEndian(quint32(size), bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray encode(const QList<Value>& values) {
    QByteArray out;
    for (const Value& value : values) {
        if (const auto* integer = std::get_if<qint64>(&value)) {
            char bytes[8];
            qToBigEndian(*integer, bytes);
            out.append('i').append(bytes, 8);
        } else if (const auto* text = std::get_if<QString>(&value)) {
            const QByteArray utf8 = text->toUtf8();
            out.append('t');
            appendLength(out, utf8.size());
            out.append(utf8);
        } else {
            const QByteArray& blob = std::get<QByteArray>(value);
            out.append('b');
            appendLength(out, blob.size());
            out.append(blob);
        }
    }
    return out;
}

QByteArray entryHash(const QByteArray& previous, const QList<Value>& values) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previous);
    hash.addData(encode(values));
    return hash.result();
}

} // namespace journal::chain
