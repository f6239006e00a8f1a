#include "hotfolder/ProcessedMove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Same-second clashes beyond this are not a hot folder's traffic.
constexpr int kMaxCounter = 1000;

bool isFree(const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    return !QFileInfo::exists(path) && !QFileInfo::exists(path + QLatin1String(".result.json"));
}

} // namespace

QString freeName(const QString& folder, const QString& name, const QDateTime& stamp) {
    const QDir dir(folder);
    if (isFree(dir, name))
        return name;
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const QString stamped =
        info.completeBaseName() + u'.' + stamp.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int counter = 1; counter <= kMaxCounter; ++counter) {
        const QString candidate =
            stamped + (counter == 1 ? QString() : u'-' + QString::number(counter)) + suffix;
        if (isFree(dir, candidate))
            return candidate;
    }
    return QString();
}

QString moveFile(const QString& from, const QString& to) {
    if (!QFileInfo::exists(from))
        return QStringLiteral("No such file or directory");
    QFile file(from);
    if (!file.rename(to))
        return file.errorString();
    return QString();
}
