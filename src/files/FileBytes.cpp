#include "files/FileBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString systemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

#ifdef Q_OS_UNIX

// Why a file of this type is no file to read or replace; empty for a regular file.
QString notARegularFile(mode_t mode) {
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a pipe, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a file");
    return QStringLiteral("it is not a regular file");
}

// Opens `path` for reading only if it is a regular file. A device is not even opened (opening
// a serial port may change its lines); the type is checked again on the opened file, so
// nothing can swap the file between the check and the read.
QString openRegularFile(QFile& file, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return notARegularFile(info.st_mode);
    // Without O_NONBLOCK, opening a pipe would wait for a writer for ever.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return systemReason(errno);
    QString problem = ::fstat(fd, &info) == 0 ? notARegularFile(info.st_mode) : systemReason(errno);
    // A regular file ignores O_NONBLOCK; it is cleared all the same, so reads are plain reads.
    if (problem.isEmpty() && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        problem = systemReason(errno);
    if (problem.isEmpty() && !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        problem = file.errorString();
    if (!problem.isEmpty() && !file.isOpen())
        ::close(fd);
    return problem;
}

// Why an existing `path` must not be replaced by a file; empty when it is a regular file or
// does not exist yet (then writing it says what else may be wrong).
QString notReplaceable(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    return notARegularFile(info.st_mode);
}

#else

QString notARegularFile(const QFileInfo& info) {
    if (!info.exists() || info.isFile())
        return QString();
    return info.isDir() ? QStringLiteral("it is a folder")
                        : QStringLiteral("it is not a regular file");
}

QString openRegularFile(QFile& file, const QString& path) {
    const QString problem = notARegularFile(QFileInfo(path));
    if (!problem.isEmpty())
        return problem;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}

QString notReplaceable(const QString& path) {
    return notARegularFile(QFileInfo(path));
}

#endif

QString tooLarge(const ReadLimit& limit) {
    return QStringLiteral("it is too large for %1 (over %2 bytes)")
        .arg(QLatin1String(limit.fileKind))
        .arg(limit.maxBytes);
}

QString failureReason(const QSaveFile& file, int code) {
    const QString reason = file.errorString();
    if (code != 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error")))
        return systemReason(code);
    return reason;
}

} // namespace

FileBytes readFileBytes(const QString& path, ReadLimit limit) {
    FileBytes result;
    QFile file;
    result.error = openRegularFile(file, path);
    if (!result.error.isEmpty())
        return result;
    if (file.size() > limit.maxBytes) {
        result.error = tooLarge(limit);
        return result;
    }
    // Read in chunks up to one byte past the limit: the file may grow while it is read.
    constexpr qint64 kChunk = 64 * 1024;
    while (result.bytes.size() <= limit.maxBytes) {
        const QByteArray chunk = file.read(qMin(kChunk, limit.maxBytes + 1 - result.bytes.size()));
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                result.error = file.errorString();
            break;
        }
        result.bytes += chunk;
    }
    if (result.error.isEmpty() && result.bytes.size() > limit.maxBytes)
        result.error = tooLarge(limit);
    if (!result.error.isEmpty())
        result.bytes.clear();
    return result;
}

AtomicFileWriter::AtomicFileWriter(const QString& path) : file_(std::make_unique<QSaveFile>(path)) {
    error_ = notReplaceable(path);
    if (error_.isEmpty() && !file_->open(QIODevice::WriteOnly))
        error_ = file_->errorString();
}

AtomicFileWriter::~AtomicFileWriter() = default; // QSaveFile discards what was not committed

bool AtomicFileWriter::write(const QByteArray& bytes) {
    if (!error_.isEmpty())
        return false;
    // Taking errno where Qt has no words of its own keeps the system's reason for a failed
    // write (such as a full disk).
    errno = 0;
    if (file_->write(bytes) != bytes.size()) {
        error_ = failureReason(*file_, errno);
        file_->cancelWriting();
    }
    return error_.isEmpty();
}

QString AtomicFileWriter::commit() {
    if (!error_.isEmpty())
        return error_;
    // Flushing here, not inside commit(), keeps the system's reason for a failed write.
    errno = 0;
    if (!file_->flush()) {
        error_ = failureReason(*file_, errno);
        file_->cancelWriting();
        return error_;
    }
    errno = 0;
    if (!file_->commit())
        error_ = failureReason(*file_, errno);
    return error_;
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    return file.commit();
}
