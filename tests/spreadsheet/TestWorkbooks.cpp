#include "TestWorkbooks.h"

#include "spreadsheet/CompoundFileReader.h"

#include <cstring>

namespace testwb {

QByteArray u16(quint16 v) {
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

QByteArray u32(quint32 v) {
    return u16(quint16(v & 0xFFFF)) + u16(quint16(v >> 16));
}

QByteArray f64(double v) {
    QByteArray bytes(8, '\0');
    std::memcpy(bytes.data(), &v, 8); // the test machines are little-endian
    return bytes;
}

QByteArray record(quint16 id, const QByteArray& body) {
    return u16(id) + u16(quint16(body.size())) + body;
}

QByteArray bof(quint16 version, quint16 substream) {
    return record(0x0809,
                  u16(version) + u16(substream) + u16(0x0DBB) + u16(0x07CC) + u32(0) + u32(6));
}

QByteArray cellPrefix(int row, int col) {
    return u16(quint16(row)) + u16(quint16(col)) + u16(15);
}

QByteArray unicodeString(const QString& text, bool shortCount) {
    bool wide = false;
    for (QChar c : text)
        wide = wide || c.unicode() > 0xFF;
    QByteArray out = shortCount ? QByteArray(1, char(text.size())) : u16(quint16(text.size()));
    out.append(char(wide ? 1 : 0));
    for (QChar c : text)
        out.append(wide ? u16(c.unicode()) : QByteArray(1, char(c.unicode())));
    return out;
}

QByteArray biff8Stream(const QByteArray& globalsExtra, const QByteArray& sheetRecords) {
    QByteArray globals = bof(0x0600, 0x0005) + record(0x0042, u16(1200)) + globalsExtra;
    const QByteArray sheetEntry = u32(0) + QByteArray(1, 0) + QByteArray(1, 0) +
                                  unicodeString(QStringLiteral("Sheet1"), true);
    const qsizetype offsetAt = globals.size() + 4;
    globals += record(0x0085, sheetEntry) + record(0x000A, {});
    const QByteArray offset = u32(quint32(globals.size()));
    globals.replace(offsetAt, 4, offset);
    return globals + bof(0x0600, 0x0010) + sheetRecords + record(0x000A, {});
}

namespace {

QByteArray directoryEntry(const QString& name, quint8 type, quint32 child, quint32 start,
                          quint32 size) {
    QByteArray entry(128, '\0');
    for (int i = 0; i < name.size(); ++i)
        entry.replace(2 * i, 2, u16(name[i].unicode()));
    entry.replace(0x40, 2, u16(name.isEmpty() ? 0 : quint16((name.size() + 1) * 2)));
    entry[0x42] = char(type);
    entry[0x43] = name.isEmpty() ? 0 : 1;
    entry.replace(0x44, 4, u32(0xFFFFFFFF));
    entry.replace(0x48, 4, u32(0xFFFFFFFF));
    entry.replace(0x4C, 4, u32(child));
    entry.replace(0x74, 4, u32(start));
    entry.replace(0x78, 4, u32(size));
    return entry;
}

QByteArray chainTable(const QVector<quint32>& entries, int perSector) {
    QByteArray out;
    for (quint32 e : entries)
        out += u32(e);
    while (out.size() % (perSector * 4) != 0 || out.isEmpty())
        out += u32(0xFFFFFFFF);
    return out;
}

QByteArray padded(QByteArray bytes, int unit) {
    if (bytes.size() % unit != 0)
        bytes.append(QByteArray(unit - bytes.size() % unit, '\0'));
    return bytes;
}

} // namespace

QByteArray container(const QByteArray& stream, const ContainerOptions& options) {
    const int sectorSize = options.majorVersion == 4 ? 4096 : 512;
    const int perSector = sectorSize / 4;
    QVector<quint32> fat;
    QByteArray body; // every sector after the header, in order
    auto addChain = [&](const QByteArray& bytes) {
        const quint32 first = quint32(fat.size());
        const QByteArray data = padded(bytes, sectorSize);
        const int count = int(data.size() / sectorSize);
        for (int i = 0; i < count; ++i)
            fat.append(i + 1 < count ? first + i + 1 : 0xFFFFFFFE);
        body += data;
        return first;
    };

    quint32 streamStart = 0;
    quint32 rootStart = 0xFFFFFFFE;
    quint32 rootSize = 0;
    quint32 miniFatStart = 0xFFFFFFFE;
    quint32 miniFatSectors = 0;
    if (options.miniStream) {
        const QByteArray mini = padded(stream, 64);
        const int count = int(mini.size() / 64);
        QVector<quint32> miniFat;
        for (int i = 0; i < count; ++i)
            miniFat.append(i + 1 < count ? quint32(i + 1) : 0xFFFFFFFE);
        rootStart = addChain(mini);
        rootSize = quint32(mini.size());
        const QByteArray miniFatBytes = chainTable(miniFat, perSector);
        miniFatStart = addChain(miniFatBytes);
        miniFatSectors = quint32(miniFatBytes.size() / sectorSize);
    } else {
        streamStart = addChain(stream);
    }
    QByteArray directory =
        directoryEntry(QStringLiteral("Root Entry"), 5, 1, rootStart, rootSize) +
        directoryEntry(options.streamName, 2, 0xFFFFFFFF, streamStart, quint32(stream.size()));
    const quint32 directoryStart = addChain(directory);
    // The FAT itself comes last and marks its own sectors.
    int fatSectors = 1;
    while (fat.size() + fatSectors > fatSectors * perSector)
        ++fatSectors;
    const quint32 fatStart = quint32(fat.size());
    for (int i = 0; i < fatSectors; ++i)
        fat.append(0xFFFFFFFD);
    body += chainTable(fat, perSector);

    QByteArray header("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header += QByteArray(16, '\0') + u16(0x3E) + u16(quint16(options.majorVersion)) + u16(0xFFFE) +
              u16(options.majorVersion == 4 ? 12 : 9) + u16(6) + QByteArray(6, '\0') + u32(0) +
              u32(quint32(fatSectors)) + u32(directoryStart) + u32(0) + u32(4096) +
              u32(miniFatStart) + u32(miniFatSectors) + u32(0xFFFFFFFE) + u32(0);
    for (int i = 0; i < 109; ++i)
        header += u32(i < fatSectors ? fatStart + quint32(i) : 0xFFFFFFFF);
    header = padded(header, sectorSize);
    return header + body;
}

QVector<RawRecord> records(const QByteArray& stream) {
    QVector<RawRecord> out;
    qsizetype at = 0;
    while (at + 4 <= stream.size()) {
        const quint16 id = quint16(quint8(stream[at]) | (quint8(stream[at + 1]) << 8));
        const quint16 size = quint16(quint8(stream[at + 2]) | (quint8(stream[at + 3]) << 8));
        if (id == 0 && size == 0)
            break; // the zero padding after the last EOF
        out.append({id, stream.mid(at + 4, size)});
        at += 4 + size;
    }
    return out;
}

QByteArray workbookStream(const QByteArray& file) {
    const CompoundFileReader reader(file);
    QString error;
    return reader.stream(QStringLiteral("Workbook"), &error).value_or(QByteArray());
}

} // namespace testwb
