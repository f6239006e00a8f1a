#pragma once

#include <QByteArray>

#include <initializer_list>

// Bytes written as numbers: bytes({0xA5, 0x02}).
inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
