#pragma once

#include <QByteArray>
#include <QString>

// A table record turned into the bytes the scale takes, or the reason it cannot travel.
struct EncodedRecord {
    QByteArray bytes; // the whole wire record when ok
    QString error;    // names the field or line that cannot be sent; empty when ok

    bool ok() const { return error.isEmpty(); }
};
