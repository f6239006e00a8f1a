#include "files/FileBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

FileBytes readFileBytes(const QString& path, qint64 limit) {
    FileBytes result;
    if (QFileInfo(path).isDir()) {
        result.error = QStringLiteral("it is a folder");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    // Read in chunks up to one byte past the limit: a device such as /dev/zero has no size.
    constexpr qint64 kChunk = 64 * 1024;
    while (result.bytes.size() <= limit) {
        const QByteArray chunk = file.read(qMin(kChunk, limit + 1 - result.bytes.size()));
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                result.error = file.errorString();
            break;
        }
        result.bytes += chunk;
    }
    if (result.error.isEmpty() && result.bytes.size() > limit)
        result.error =
            QStringLiteral("it is too large for a table file (over %1 bytes)").arg(limit);
    if (!result.error.isEmpty())
        result.bytes.clear();
    return result;
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // Flushing here, not inside commit(), keeps the system's reason for a failed write (such
    // as a full disk) instead of a generic one.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int code = errno;
        QString reason = file.errorString();
        if (code != 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error")))
            reason = QString::fromLocal8Bit(std::strerror(code));
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
