#include "spreadsheet/CompoundFileReader.h"

#include "spreadsheet/LittleEndian.h"

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFreeSector = 0xFFFFFFFF;
constexpr quint32 kMaxRegularSector = 0xFFFFFFFA;
constexpr int kMiniSectorSize = 64;
constexpr int kEntrySize = 128;
const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

QString damaged(const QString& detail) {
    return QStringLiteral("the workbook file is damaged (%1)").arg(detail);
}

} // namespace

CompoundFileReader::CompoundFileReader(const QByteArray& file) : file_(file) {
    parse();
}

bool CompoundFileReader::fail(const QString& why) {
    error_ = why;
    fat_.clear();
    miniFat_.clear();
    entries_.clear();
    return false;
}

std::optional<QByteArray> CompoundFileReader::sector(quint32 id) const {
    if (id >= sectorCount_)
        return std::nullopt;
    const qsizetype offset = qsizetype(id + 1) * sectorSize_;
    QByteArray bytes = file_.mid(offset, sectorSize_);
    // Some writers cut the file short inside its last sector; the missing bytes read as zero.
    bytes.resize(sectorSize_, '\0');
    return bytes;
}

bool CompoundFileReader::parse() {
    if (file_.size() < 512)
        return fail(damaged(QStringLiteral("shorter than a container header")));
    if (!file_.startsWith(QByteArray(kSignature, 8)))
        return fail(QStringLiteral("the file is not a compound file"));
    const char* h = file_.constData();
    const quint16 major = le::u16(h + 0x1A);
    const quint16 shift = le::u16(h + 0x1E);
    if (!((major == 3 && shift == 9) || (major == 4 && shift == 12)))
        return fail(
            damaged(QStringLiteral("version %1 with sector shift %2").arg(major).arg(shift)));
    sectorSize_ = 1 << shift;
    if (file_.size() <= sectorSize_)
        return fail(damaged(QStringLiteral("no sectors after the header")));
    sectorCount_ = quint32((file_.size() - sectorSize_ + sectorSize_ - 1) / sectorSize_);
    miniCutoff_ = le::u32(h + 0x38);

    // The FAT sector numbers: 109 in the header, the rest in the DIFAT chain.
    const quint32 fatSectors = le::u32(h + 0x2C);
    if (fatSectors > sectorCount_)
        return fail(damaged(QStringLiteral("%1 FAT sectors declared in a file of %2 sectors")
                                .arg(fatSectors)
                                .arg(sectorCount_)));
    QVector<quint32> fatIds;
    for (int i = 0; i < 109 && quint32(fatIds.size()) < fatSectors; ++i)
        fatIds.append(le::u32(h + 0x4C + 4 * i));
    quint32 difat = le::u32(h + 0x44);
    QVector<bool> seenDifat(sectorCount_, false);
    const int perDifat = sectorSize_ / 4 - 1;
    while (quint32(fatIds.size()) < fatSectors) {
        if (difat >= sectorCount_)
            return fail(damaged(QStringLiteral("the FAT list ends early")));
        if (seenDifat[difat])
            return fail(damaged(QStringLiteral("the FAT list loops")));
        seenDifat[difat] = true;
        const QByteArray bytes = *sector(difat);
        for (int i = 0; i < perDifat && quint32(fatIds.size()) < fatSectors; ++i)
            fatIds.append(le::u32(bytes.constData() + 4 * i));
        difat = le::u32(bytes.constData() + 4 * perDifat);
    }
    fat_.reserve(fatIds.size() * (sectorSize_ / 4));
    for (quint32 id : fatIds) {
        const auto bytes = sector(id);
        if (!bytes)
            return fail(damaged(QStringLiteral("FAT sector %1 lies past the end").arg(id)));
        for (int i = 0; i < sectorSize_ / 4; ++i)
            fat_.append(le::u32(bytes->constData() + 4 * i));
    }

    // The directory: a chain of 128-byte entries.
    QString why;
    const auto dirChain = chain(fat_, le::u32(h + 0x30), sectorCount_, -1, &why);
    if (!dirChain)
        return fail(damaged(QStringLiteral("directory: %1").arg(why)));
    for (quint32 id : *dirChain) {
        const QByteArray bytes = *sector(id);
        for (int off = 0; off + kEntrySize <= sectorSize_; off += kEntrySize) {
            const char* e = bytes.constData() + off;
            Entry entry;
            entry.type = le::u8(e + 0x42);
            const int nameBytes = qMin<int>(le::u16(e + 0x40), 64);
            const int chars = qMax(0, nameBytes / 2 - 1);
            for (int i = 0; i < chars; ++i)
                entry.name.append(QChar(le::u16(e + 2 * i)));
            entry.start = le::u32(e + 0x74);
            // Version 3 files may carry garbage in the high half of the size.
            entry.size = major == 3 ? le::u32(e + 0x78) : le::u64(e + 0x78);
            entries_.append(entry);
        }
    }
    if (entries_.isEmpty() || entries_.first().type != 5)
        return fail(damaged(QStringLiteral("no root entry")));

    // The mini FAT, needed only for streams under the cutoff.
    const quint32 miniFatStart = le::u32(h + 0x3C);
    if (miniFatStart != kEndOfChain && miniFatStart != kFreeSector) {
        const auto miniChain = chain(fat_, miniFatStart, sectorCount_, -1, &why);
        if (!miniChain)
            return fail(damaged(QStringLiteral("mini FAT: %1").arg(why)));
        for (quint32 id : *miniChain) {
            const QByteArray bytes = *sector(id);
            for (int i = 0; i < sectorSize_ / 4; ++i)
                miniFat_.append(le::u32(bytes.constData() + 4 * i));
        }
    }
    return true;
}

std::optional<QVector<quint32>> CompoundFileReader::chain(const QVector<quint32>& table,
                                                          quint32 start, qsizetype limit,
                                                          qsizetype maxSectors,
                                                          QString* error) const {
    QVector<quint32> ids;
    QVector<bool> seen(limit, false);
    quint32 id = start;
    while (id != kEndOfChain && (maxSectors < 0 || ids.size() < maxSectors)) {
        if (id > kMaxRegularSector || qsizetype(id) >= limit || qsizetype(id) >= table.size()) {
            *error = QStringLiteral("sector %1 lies outside the file").arg(id);
            return std::nullopt;
        }
        if (seen[id]) {
            *error = QStringLiteral("a sector chain loops");
            return std::nullopt;
        }
        seen[id] = true;
        ids.append(id);
        id = table[id];
    }
    return ids;
}

std::optional<QByteArray> CompoundFileReader::readRegular(quint32 start, quint64 size,
                                                          QString* error) const {
    if (size > quint64(sectorCount_) * quint64(sectorSize_)) {
        *error = damaged(QStringLiteral("a stream is declared larger than the file"));
        return std::nullopt;
    }
    const qsizetype needed = qsizetype((size + sectorSize_ - 1) / sectorSize_);
    if (needed == 0)
        return QByteArray();
    QString why;
    const auto ids = chain(fat_, start, sectorCount_, needed, &why);
    if (!ids) {
        *error = damaged(why);
        return std::nullopt;
    }
    if (ids->size() < needed) {
        *error = damaged(QStringLiteral("a stream is shorter than declared"));
        return std::nullopt;
    }
    QByteArray data;
    data.reserve(needed * sectorSize_);
    for (quint32 id : *ids)
        data.append(*sector(id));
    data.truncate(qsizetype(size));
    return data;
}

std::optional<QByteArray> CompoundFileReader::readMini(quint32 start, quint64 size,
                                                       QString* error) const {
    const Entry& root = entries_.first();
    const auto container = readRegular(root.start, root.size, error);
    if (!container)
        return std::nullopt;
    const qsizetype miniSectors = container->size() / kMiniSectorSize;
    const qsizetype needed = qsizetype((size + kMiniSectorSize - 1) / kMiniSectorSize);
    if (needed == 0)
        return QByteArray();
    QString why;
    const auto ids = chain(miniFat_, start, miniSectors, needed, &why);
    if (!ids || ids->size() < needed) {
        *error = damaged(ids ? QStringLiteral("a small stream is shorter than declared")
                             : QStringLiteral("mini stream: %1").arg(why));
        return std::nullopt;
    }
    QByteArray data;
    data.reserve(needed * kMiniSectorSize);
    for (quint32 id : *ids)
        data.append(container->mid(qsizetype(id) * kMiniSectorSize, kMiniSectorSize));
    data.truncate(qsizetype(size));
    return data;
}

QStringList CompoundFileReader::streamNames() const {
    QStringList names;
    for (const Entry& entry : entries_) {
        if (entry.type == 2)
            names.append(entry.name);
    }
    return names;
}

std::optional<QByteArray> CompoundFileReader::stream(const QString& name, QString* error) const {
    if (!isValid()) {
        *error = error_;
        return std::nullopt;
    }
    for (const Entry& entry : entries_) {
        if (entry.type != 2 || entry.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        // A small stream belongs in the mini stream; some writers put it in regular sectors
        // all the same, which shows as a file without a mini stream.
        const bool hasMiniStream = entries_.first().size > 0 && !miniFat_.isEmpty();
        if (entry.size < miniCutoff_ && hasMiniStream)
            return readMini(entry.start, entry.size, error);
        return readRegular(entry.start, entry.size, error);
    }
    *error = QStringLiteral("the file holds no \"%1\" stream").arg(name);
    return std::nullopt;
}
