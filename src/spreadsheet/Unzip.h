#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>

// How much of a zip archive may be unpacked. A crafted archive can claim or hold entries that
// inflate a thousandfold; these bounds keep the memory an archive can take within reach of
// its own size, whatever its directory says.
struct UnzipLimits {
    int maxEntries = 10000;                   // entries listed in the central directory
    qint64 maxEntryBytes = 64 * 1024 * 1024;  // one unpacked entry
    qint64 maxTotalBytes = 128 * 1024 * 1024; // every entry unpacked by one archive
};

// A zip archive held in memory, read through minizip's unzip API. Entries are found by name
// (zip names inside an .xlsx are compared without regard to case, as the package rules say)
// and unpacked one at a time, each checked against its CRC.
class Unzip {
public:
    // Reads the central directory; a damaged or empty one leaves the archive invalid.
    explicit Unzip(const QByteArray& archive, const UnzipLimits& limits = {});
    ~Unzip();
    Unzip(const Unzip&) = delete;
    Unzip& operator=(const Unzip&) = delete;

    bool isValid() const { return error_.isEmpty(); }
    QString error() const { return error_; } // why the archive could not be opened

    bool contains(const QString& name) const;
    // The unpacked entry, or nothing with `error` saying why (missing, encrypted, damaged,
    // over a limit).
    std::optional<QByteArray> entry(const QString& name, QString* error);

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    UnzipLimits limits_;
    struct Position {
        quint64 directoryOffset;
        quint64 entryNumber;
    };
    QHash<QString, Position> positions_; // lower-case name -> its central directory entry
    qint64 unpackedTotal_ = 0;
    QString error_;
};
