#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

// Little-endian integers in byte arrays, as the workbook container and its records store them.
// Readers check bounds themselves: these helpers assume `offset + size` lies inside `bytes`.
namespace le {

inline quint8 u8(const char* p) {
    return quint8(p[0]);
}
inline quint16 u16(const char* p) {
    return quint16(quint8(p[0]) | (quint8(p[1]) << 8));
}
inline quint32 u32(const char* p) {
    return quint32(u16(p)) | (quint32(u16(p + 2)) << 16);
}
inline quint64 u64(const char* p) {
    return quint64(u32(p)) | (quint64(u32(p + 4)) << 32);
}
inline double f64(const char* p) {
    const quint64 bits = u64(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void put8(QByteArray& out, quint8 v) {
    out.append(char(v));
}
inline void put16(QByteArray& out, quint16 v) {
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}
inline void put32(QByteArray& out, quint32 v) {
    put16(out, quint16(v & 0xFFFF));
    put16(out, quint16(v >> 16));
}
inline void putF64(QByteArray& out, double v) {
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    put32(out, quint32(bits & 0xFFFFFFFFu));
    put32(out, quint32(bits >> 32));
}
inline void set32(QByteArray& out, qsizetype offset, quint32 v) {
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace le
