#include "spreadsheet/CompoundFileWriter.h"

#include "spreadsheet/LittleEndian.h"

namespace {

constexpr int kSectorSize = 512;
constexpr int kIdsPerSector = kSectorSize / 4;
constexpr int kHeaderFatSlots = 109;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFreeSector = 0xFFFFFFFF;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kNoEntry = 0xFFFFFFFF;
constexpr int kSmallStreamCutoff = 4096;

QByteArray directoryEntry(const QString& name, quint8 type, quint32 child, quint32 start,
                          quint32 size) {
    QByteArray entry(128, '\0');
    if (!name.isEmpty()) {
        for (int i = 0; i < name.size(); ++i) {
            entry[2 * i] = char(name[i].unicode() & 0xFF);
            entry[2 * i + 1] = char(name[i].unicode() >> 8);
        }
        const quint16 nameBytes = quint16((name.size() + 1) * 2);
        entry[0x40] = char(nameBytes & 0xFF);
        entry[0x41] = char(nameBytes >> 8);
        entry[0x42] = char(type);
        entry[0x43] = 1; // black
    }
    le::set32(entry, 0x44, kNoEntry);
    le::set32(entry, 0x48, kNoEntry);
    le::set32(entry, 0x4C, child);
    le::set32(entry, 0x74, start);
    le::set32(entry, 0x78, size);
    return entry;
}

} // namespace

std::optional<QByteArray> writeCompoundFile(QByteArray stream) {
    if (stream.size() < kSmallStreamCutoff)
        stream.append(QByteArray(kSmallStreamCutoff - stream.size(), '\0'));
    const quint32 streamSize = quint32(stream.size());
    const quint32 streamSectors = (streamSize + kSectorSize - 1) / kSectorSize;
    stream.append(QByteArray(qsizetype(streamSectors) * kSectorSize - streamSize, '\0'));

    // Sectors: the stream, then the FAT, then one directory sector.
    quint32 fatSectors = 1;
    while (streamSectors + fatSectors + 1 > quint32(fatSectors * kIdsPerSector))
        ++fatSectors;
    if (fatSectors > kHeaderFatSlots)
        return std::nullopt;
    const quint32 directorySector = streamSectors + fatSectors;

    QByteArray header;
    header.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header.append(QByteArray(16, '\0'));
    le::put16(header, 0x003E); // minor version
    le::put16(header, 0x0003); // major version 3
    le::put16(header, 0xFFFE); // byte order mark
    le::put16(header, 9);      // 512-byte sectors
    le::put16(header, 6);      // 64-byte mini sectors
    header.append(QByteArray(6, '\0'));
    le::put32(header, 0); // directory sectors (always 0 in version 3)
    le::put32(header, fatSectors);
    le::put32(header, directorySector);
    le::put32(header, 0); // transaction signature
    le::put32(header, kSmallStreamCutoff);
    le::put32(header, kEndOfChain); // no mini FAT
    le::put32(header, 0);
    le::put32(header, kEndOfChain); // no DIFAT sectors
    le::put32(header, 0);
    for (int i = 0; i < kHeaderFatSlots; ++i)
        le::put32(header, quint32(i) < fatSectors ? streamSectors + quint32(i) : kFreeSector);

    QByteArray fat;
    fat.reserve(qsizetype(fatSectors) * kSectorSize);
    for (quint32 i = 0; i < streamSectors; ++i)
        le::put32(fat, i + 1 < streamSectors ? i + 1 : kEndOfChain);
    for (quint32 i = 0; i < fatSectors; ++i)
        le::put32(fat, kFatSector);
    le::put32(fat, kEndOfChain); // the directory
    while (fat.size() < qsizetype(fatSectors) * kSectorSize)
        le::put32(fat, kFreeSector);

    QByteArray directory;
    directory.append(directoryEntry(QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0));
    directory.append(directoryEntry(QStringLiteral("Workbook"), 2, kNoEntry, 0, streamSize));
    directory.append(directoryEntry(QString(), 0, kNoEntry, 0, 0));
    directory.append(directoryEntry(QString(), 0, kNoEntry, 0, 0));

    QByteArray file;
    file.reserve(header.size() + stream.size() + fat.size() + directory.size());
    file.append(header);
    file.append(stream);
    file.append(fat);
    file.append(directory);
    return file;
}
