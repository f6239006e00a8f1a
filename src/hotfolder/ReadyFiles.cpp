#include "hotfolder/ReadyFiles.h"

#include <QSet>

bool isInboxName(const QString& name) {
    return !name.isEmpty() && !name.startsWith(u'.') && !name.endsWith(QLatin1String(".part")) &&
           !name.endsWith(QLatin1String(".tmp")) && !name.endsWith(u'~');
}

void ReadyFiles::note(const InboxEvent& event, qint64 nowMs) {
    switch (event.kind) {
    case InboxEvent::Kind::RenamedIn:
        if (isInboxName(event.name)) {
            Seen& seen = files_[event.name];
            seen = Seen{};
            seen.renamedIn = true;
            seen.quietSinceMs = nowMs;
        }
        break;
    case InboxEvent::Kind::Written:
        if (files_.contains(event.name)) {
            files_[event.name].renamedIn = false;
            files_[event.name].quietSinceMs = nowMs;
        }
        break;
    case InboxEvent::Kind::Gone:
        files_.remove(event.name);
        break;
    case InboxEvent::Kind::Overflow: // what happened is unknown: everything starts again
        for (Seen& seen : files_) {
            seen.renamedIn = false;
            seen.quietSinceMs = nowMs;
        }
        break;
    case InboxEvent::Kind::FolderGone:
        files_.clear();
        break;
    }
}

void ReadyFiles::look(const QList<FileSighting>& files, qint64 nowMs) {
    QSet<QString> listed;
    for (const FileSighting& file : files) {
        if (!isInboxName(file.name))
            continue;
        listed.insert(file.name);
        Seen& seen = files_[file.name];
        const bool firstLook = seen.size < 0;
        if (firstLook || seen.size != file.size || seen.modifiedMs != file.modifiedMs) {
            // A file first seen by this look may have been written a moment ago.
            if (!(firstLook && seen.renamedIn)) {
                seen.renamedIn = false;
                seen.quietSinceMs = nowMs;
            }
            seen.size = file.size;
            seen.modifiedMs = file.modifiedMs;
        }
    }
    for (auto it = files_.begin(); it != files_.end();)
        it = listed.contains(it.key()) ? std::next(it) : files_.erase(it);
}

bool ReadyFiles::isReady(const Seen& seen, qint64 nowMs) const {
    return seen.size >= 0 && (seen.renamedIn || nowMs - seen.quietSinceMs >= kQuietMs);
}

std::optional<QString> ReadyFiles::next(qint64 nowMs) const {
    for (auto it = files_.cbegin(); it != files_.cend(); ++it)
        if (isReady(*it, nowMs))
            return it.key();
    return std::nullopt;
}

std::optional<qint64> ReadyFiles::nextCheckMs(qint64 nowMs) const {
    std::optional<qint64> earliest;
    for (const Seen& seen : files_) {
        const qint64 due = seen.quietSinceMs + kQuietMs;
        if (!isReady(seen, nowMs) && (!earliest || due < *earliest))
            earliest = due;
    }
    return earliest;
}
