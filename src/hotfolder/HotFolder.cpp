#include "hotfolder/HotFolder.h"

#include "files/FileBytes.h"
#include "hotfolder/ProcessedMove.h"
#include "serial/Clock.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Hidden, so the inbox never takes it.
const QString kLockName = QStringLiteral(".scaledesk-watch.lock");
const QString kResultSuffix = QStringLiteral(".result.json");

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString absolute(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

// Whether the file is still the one that was taken: a file rewritten while it was sent must
// not go to DONE as if its new contents had been sent.
bool unchanged(const InboxFile& file, const QFileInfo& now) {
    return now.size() == file.size && now.lastModified() == file.modified &&
           now.metadataChangeTime() == file.metadataChanged;
}

// Why DONE or FAILED cannot take the processed files; made when missing.
QString outFolderProblem(const QString& path, const QString& inbox) {
    if (path == inbox)
        return QStringLiteral("%1 is the inbox itself; processed files need a folder of their "
                              "own")
            .arg(native(path));
    if (!QDir().mkpath(path))
        return QStringLiteral("the folder %1 cannot be made").arg(native(path));
    const QFileInfo info(path);
    if (!info.isDir())
        return QStringLiteral("%1 is not a folder").arg(native(path));
    if (!info.isWritable())
        return QStringLiteral("the folder %1 cannot be written").arg(native(path));
    return QString();
}

} // namespace

HotFolder::HotFolder(const HotFolderPaths& paths, Clock& clock, QObject* parent)
    : QObject(parent), clock_(clock), wallClock_(&QDateTime::currentDateTime) {
    paths_.inbox = absolute(paths.inbox);
    paths_.done =
        absolute(paths.done.isEmpty() ? paths_.inbox + QLatin1String("/done") : paths.done);
    paths_.failed =
        absolute(paths.failed.isEmpty() ? paths_.inbox + QLatin1String("/failed") : paths.failed);
    lookAgain_.setSingleShot(true);
    connect(&lookAgain_, &QTimer::timeout, this, &HotFolder::scan);
}

HotFolder::~HotFolder() = default;

QString HotFolder::start() {
    if (!QFileInfo(paths_.inbox).isDir())
        return QStringLiteral("the inbox %1 is not a folder").arg(native(paths_.inbox));
    for (const QString& out : {paths_.done, paths_.failed}) {
        const QString problem = outFolderProblem(out, paths_.inbox);
        if (!problem.isEmpty())
            return problem;
    }
    // Two hot folders on one inbox would send each file twice. A lock left by a process that
    // was killed is taken over.
    lock_ = std::make_unique<QLockFile>(QDir(paths_.inbox).filePath(kLockName));
    lock_->setStaleLockTime(0); // only a lock whose process is gone is stale, however old
    if (!lock_->tryLock(0)) {
        qint64 pid = 0;
        QString host;
        QString program;
        const bool known = lock_->getLockInfo(&pid, &host, &program);
        lock_.reset();
        if (known)
            return QStringLiteral("the inbox %1 is watched by process %2 (%3 on %4) already")
                .arg(native(paths_.inbox))
                .arg(pid)
                .arg(program, host);
        return QStringLiteral("the inbox %1 cannot be locked: its folder cannot be written")
            .arg(native(paths_.inbox));
    }
    watch_ = InboxWatch::create(paths_.inbox);
    if (!watch_->problem().isEmpty())
        return QStringLiteral("the inbox %1 cannot be watched: %2")
            .arg(native(paths_.inbox), watch_->problem());
    connect(watch_.get(), &InboxWatch::changed, this, &HotFolder::scan);
    watching_ = true;
    scan();
    return QString();
}

void HotFolder::scan() {
    if (!watching_)
        return;
    const qint64 now = clock_.nowMs();
    for (const InboxEvent& event : watch_->takeEvents()) {
        if (event.kind == InboxEvent::Kind::FolderGone) {
            watching_ = false;
            lookAgain_.stop();
            Q_EMIT problem(QStringLiteral("the inbox %1 was deleted or moved away; no further "
                                          "file is taken")
                               .arg(native(paths_.inbox)));
            return;
        }
        ready_.note(event, now);
    }
    // A file held back that someone has removed may come again under its name.
    for (auto it = held_.begin(); it != held_.end();)
        it = QFileInfo::exists(QDir(paths_.inbox).filePath(*it)) ? std::next(it) : held_.erase(it);
    ready_.look(lookAtInbox(), now);
    takeNext();
    scheduleLook();
}

QList<FileSighting> HotFolder::lookAtInbox() const {
    QList<FileSighting> files;
    const QFileInfoList infos = QDir(paths_.inbox).entryInfoList(QDir::Files);
    for (const QFileInfo& info : infos) {
        const QString name = info.fileName();
        if ((current_ && current_->name == name) || held_.contains(name))
            continue;
        files.append({name, info.size(), info.lastModified().toMSecsSinceEpoch()});
    }
    return files;
}

void HotFolder::takeNext() {
    if (taking_)
        return; // finish() inside fileReady: the loop below goes on
    taking_ = true;
    while (watching_ && !current_) {
        const std::optional<QString> name = ready_.next(clock_.nowMs());
        if (!name)
            break;
        ready_.forget(*name);
        const QFileInfo info(QDir(paths_.inbox).filePath(*name));
        if (!info.isFile())
            continue; // gone since the look, before anyone took it
        current_ = InboxFile{*name,
                             info.absoluteFilePath(),
                             info.size(),
                             info.lastModified(),
                             info.metadataChangeTime(),
                             wallClock_()};
        Q_EMIT fileReady(*current_);
    }
    taking_ = false;
}

void HotFolder::finish(const FileResult& result) {
    if (!current_)
        return;
    const InboxFile file = *current_;
    current_.reset();
    place(file, result);
    scan(); // a file that stayed is looked at again from now on
}

void HotFolder::place(const InboxFile& file, const FileResult& result) {
    const QString folder = result.succeeded() ? paths_.done : paths_.failed;
    const QDateTime finished = wallClock_();
    const QString name = freeName(folder, file.name, finished);
    if (name.isEmpty()) {
        held_.insert(file.name);
        Q_EMIT problem(QStringLiteral("%1 cannot be moved: %2 has no free name for it; it stays "
                                      "in the inbox until the next start")
                           .arg(file.name, native(folder)));
        return;
    }
    const QString target = QDir(folder).filePath(name);
    // Looked at once, before the move: afterwards the inbox no longer has it.
    const QFileInfo now(file.path);
    const bool gone = !now.exists();
    const bool changed = !gone && !unchanged(file, now);
    QString moveProblem;
    if (!gone && !changed) {
        moveProblem = moveFile(file.path, target);
        if (!moveProblem.isEmpty())
            held_.insert(file.name); // not to be sent again and again
    }
    const QByteArray json = fileResultJson(result, {file.name, target, file.taken, finished});
    const QString resultPath = target + kResultSuffix;
    const QString writeProblem = writeFileAtomically(resultPath, json);
    if (!writeProblem.isEmpty())
        Q_EMIT problem(QStringLiteral("the result of %1 cannot be written to %2: %3")
                           .arg(file.name, native(resultPath), writeProblem));

    if (gone)
        Q_EMIT problem(QStringLiteral("%1 was gone from the inbox before it could be moved; its "
                                      "result is in %2")
                           .arg(file.name, native(resultPath)));
    else if (changed)
        Q_EMIT problem(QStringLiteral("%1 changed while it was sent; it stays in the inbox and is "
                                      "taken again once it is complete; this send's result is "
                                      "in %2")
                           .arg(file.name, native(resultPath)));
    else if (!moveProblem.isEmpty())
        Q_EMIT problem(QStringLiteral("%1 cannot be moved to %2: %3; it stays in the inbox until "
                                      "the next start")
                           .arg(file.name, native(folder), moveProblem));
    else
        Q_EMIT fileMoved(file, target);
}

void HotFolder::scheduleLook() {
    if (!watching_) {
        lookAgain_.stop();
        return;
    }
    const qint64 now = clock_.nowMs();
    qint64 wait = kLookAgainMs;
    if (const std::optional<qint64> due = ready_.nextCheckMs(now))
        wait = qBound<qint64>(1, *due - now, kLookAgainMs);
    lookAgain_.start(int(wait));
}
