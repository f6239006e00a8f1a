#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSaveFile;

// The one way ScaleDesk reads a whole file and the one way it writes one: table files,
// workbooks and whatever format comes next go through these two functions.

// How much of a file the reader takes before it refuses the file, and what the refusal calls
// it: "it is too large for a table file (over 16777216 bytes)".
struct ReadLimit {
    qint64 maxBytes;
    const char* fileKind; // "a table file", "a workbook"
};

// Even 600 records with long names stay far below this, and a huge file picked by mistake
// must not fill the memory.
inline constexpr qint64 kMaxTableFileBytes = 16 * 1024 * 1024;
inline constexpr ReadLimit kTableFileLimit{kMaxTableFileBytes, "a table file"};

struct FileBytes {
    QByteArray bytes;
    QString error; // the reason, e.g. "No such file or directory"; empty on success
};

// Reads the whole of a regular file (a symbolic link to one will do). A folder, a pipe, a
// device or a socket is refused without waiting on it or reading from it, and so is a file
// larger than the limit.
FileBytes readFileBytes(const QString& path, ReadLimit limit = kTableFileLimit);

// Writes `bytes` through a temporary file that replaces `path` only when complete, so a
// write that fails part-way leaves the previous file as it was. An existing `path` that is
// not a regular file (a folder, a pipe, a device) is refused and left alone. Returns the
// reason of a failure in the system's words where it has them ("No space left on device"),
// or an empty string.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// The same for a file written in pieces, one too large to hold in memory at once (a long
// list): opened when made, written by write() (false once a write has failed), and replacing
// `path` only by a commit() that returns no reason. Destroyed without a commit, it leaves
// `path` as it was.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool write(const QByteArray& bytes);
    QString commit(); // the reason of the first failure, empty when `path` was replaced

private:
    std::unique_ptr<QSaveFile> file_;
    QString error_;
};
