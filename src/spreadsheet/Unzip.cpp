#include "spreadsheet/Unzip.h"

#include <minizip/unzip.h>

#include <cstring>

namespace {

// minizip reads the archive through these callbacks; the "file" is the byte array.
struct MemoryFile {
    const QByteArray* bytes;
    qint64 position = 0;
};

voidpf openMemory(voidpf opaque, const void*, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    return opaque;
}

uLong readMemory(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* file = static_cast<MemoryFile*>(stream);
    const qint64 left = file->bytes->size() - file->position;
    const qint64 count = qBound<qint64>(0, qint64(size), left);
    std::memcpy(buffer, file->bytes->constData() + file->position, size_t(count));
    file->position += count;
    return uLong(count);
}

uLong writeMemory(voidpf, voidpf, const void*, uLong) {
    return 0; // read only
}

ZPOS64_T tellMemory(voidpf, voidpf stream) {
    return ZPOS64_T(static_cast<MemoryFile*>(stream)->position);
}

long seekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* file = static_cast<MemoryFile*>(stream);
    qint64 base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = file->position;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = file->bytes->size();
    // Offsets come from the archive itself: one past the end or below zero is damage.
    if (offset > ZPOS64_T(file->bytes->size()) || base + qint64(offset) > file->bytes->size())
        return -1;
    file->position = base + qint64(offset);
    return 0;
}

int closeMemory(voidpf, voidpf) {
    return 0;
}

int noError(voidpf, voidpf) {
    return 0;
}

constexpr qint64 kChunk = 64 * 1024;

} // namespace

struct Unzip::Handle {
    MemoryFile file;
    unzFile zip = nullptr;
    ~Handle() {
        if (zip)
            unzClose(zip);
    }
};

Unzip::Unzip(const QByteArray& archive, const UnzipLimits& limits)
    : handle_(std::make_unique<Handle>()), limits_(limits) {
    handle_->file.bytes = &archive;
    zlib_filefunc64_def functions{};
    functions.zopen64_file = openMemory;
    functions.zread_file = readMemory;
    functions.zwrite_file = writeMemory;
    functions.ztell64_file = tellMemory;
    functions.zseek64_file = seekMemory;
    functions.zclose_file = closeMemory;
    functions.zerror_file = noError;
    functions.opaque = &handle_->file;
    handle_->zip = unzOpen2_64("", &functions);
    if (!handle_->zip) {
        error_ = QStringLiteral("the zip archive is damaged (its directory cannot be read)");
        return;
    }
    int status = unzGoToFirstFile(handle_->zip);
    while (status == UNZ_OK) {
        if (positions_.size() >= limits_.maxEntries) {
            error_ = QStringLiteral("the zip archive holds more than %1 entries")
                         .arg(limits_.maxEntries);
            return;
        }
        char name[1024];
        unz_file_info64 info;
        unz64_file_pos position;
        if (unzGetCurrentFileInfo64(handle_->zip, &info, name, sizeof name, nullptr, 0, nullptr,
                                    0) != UNZ_OK ||
            unzGetFilePos64(handle_->zip, &position) != UNZ_OK)
            break;
        const QString key = QString::fromUtf8(name, qstrnlen(name, sizeof name)).toLower();
        if (!positions_.contains(key)) // the first of two equal names counts
            positions_.insert(key, {position.pos_in_zip_directory, position.num_of_file});
        status = unzGoToNextFile(handle_->zip);
    }
    if (status != UNZ_END_OF_LIST_OF_FILE || positions_.isEmpty())
        error_ = QStringLiteral("the zip archive is damaged (its directory cannot be read)");
}

Unzip::~Unzip() = default;

bool Unzip::contains(const QString& name) const {
    return positions_.contains(name.toLower());
}

std::optional<QByteArray> Unzip::entry(const QString& name, QString* error) {
    const auto damaged = [&] {
        *error =
            QStringLiteral("the zip archive is damaged (entry %1 cannot be unpacked)").arg(name);
        return std::nullopt;
    };
    const auto found = positions_.constFind(name.toLower());
    if (!isValid() || found == positions_.constEnd()) {
        *error = QStringLiteral("the zip archive has no entry %1").arg(name);
        return std::nullopt;
    }
    unz64_file_pos position{found->directoryOffset, found->entryNumber};
    unz_file_info64 info;
    if (unzGoToFilePos64(handle_->zip, &position) != UNZ_OK ||
        unzGetCurrentFileInfo64(handle_->zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return damaged();
    if (info.flag & 1) {
        *error = QStringLiteral("the workbook is encrypted (protected by a password); save it "
                                "without a password first");
        return std::nullopt;
    }
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
        *error = QStringLiteral("entry %1 of the zip archive is packed with a method that "
                                "cannot be read (%2)")
                     .arg(name)
                     .arg(info.compression_method);
        return std::nullopt;
    }
    const qint64 size = qint64(qMin<ZPOS64_T>(info.uncompressed_size, ZPOS64_T(1) << 62));
    if (size > limits_.maxEntryBytes || size > limits_.maxTotalBytes - unpackedTotal_) {
        *error = QStringLiteral("entry %1 of the zip archive unpacks to more than %2 bytes, "
                                "more than a workbook may take")
                     .arg(name)
                     .arg(qMin(limits_.maxEntryBytes, limits_.maxTotalBytes - unpackedTotal_));
        return std::nullopt;
    }
    if (unzOpenCurrentFile(handle_->zip) != UNZ_OK)
        return damaged();
    // minizip stops at the size the entry declares, so `size` bounds what is unpacked.
    // The buffer grows with what was unpacked, not with what the entry claims.
    QByteArray bytes;
    bytes.reserve(qMin(size, kChunk * 16));
    char chunk[kChunk];
    while (bytes.size() < size) {
        const int count = unzReadCurrentFile(handle_->zip, chunk, unsigned(kChunk));
        if (count <= 0)
            break;
        bytes.append(chunk, count);
    }
    // The CRC is checked once the whole declared size was read; a short entry is damage too.
    const int closed = unzCloseCurrentFile(handle_->zip);
    if (bytes.size() != size || closed != UNZ_OK)
        return damaged();
    unpackedTotal_ += size;
    return bytes;
}
