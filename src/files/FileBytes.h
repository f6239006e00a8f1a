#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic writes of the table files.

// Larger files are refused unread: even 600 records with long names stay far below this,
// and a device or a huge file picked by mistake must not fill the memory.
inline constexpr qint64 kMaxTableFileBytes = 16 * 1024 * 1024;

struct FileBytes {
    QByteArray bytes;
    QString error; // the reason, e.g. "No such file or directory"; empty on success
};

FileBytes readFileBytes(const QString& path, qint64 limit = kMaxTableFileBytes);

// Writes `bytes` through a temporary file that replaces `path` only when complete, so a
// write that fails part-way leaves the previous file as it was. Returns the reason of a
// failure, or an empty string.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);
