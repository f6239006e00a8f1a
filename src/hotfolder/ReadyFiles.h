#pragma once

#include "hotfolder/InboxWatch.h"

#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// Whether the inbox may ever take a file of this name: not a hidden one (".name") and not
// one still being written under a temporary name (ending in ".part", ".tmp" or "~").
bool isInboxName(const QString& name);

// A file of the inbox as one look at the folder found it.
struct FileSighting {
    QString name;
    qint64 size = 0;
    qint64 modifiedMs = 0; // its modification time, milliseconds since the epoch
};

// Which files of the inbox are complete, decided from what the watch reports and from
// repeated looks at the folder, on the monotonic clock of the caller:
//  - a file renamed into the folder is complete at once (writers rename a finished file in);
//  - any other file once its size and modification time have not changed for kQuietMs;
//  - a file that changes after it was renamed in waits like one written in place.
// Ready files are offered in name order (by the characters' codes, as `ls` sorts in the C
// locale), one at a time; the caller forgets a name once it has taken it.
class ReadyFiles {
public:
    static constexpr qint64 kQuietMs = 2000;

    void note(const InboxEvent& event, qint64 nowMs);
    // Every file the folder holds now, apart from any the caller holds itself. A name that
    // is no longer listed is forgotten.
    void look(const QList<FileSighting>& files, qint64 nowMs);
    void forget(const QString& name) { files_.remove(name); }

    std::optional<QString> next(qint64 nowMs) const; // the first ready name, in name order
    // When the next file that is not ready yet may be, if any is waiting.
    std::optional<qint64> nextCheckMs(qint64 nowMs) const;

private:
    struct Seen {
        qint64 size = -1; // -1: noted by the watch, not yet found by a look
        qint64 modifiedMs = 0;
        qint64 quietSinceMs = 0;
        bool renamedIn = false;
    };
    bool isReady(const Seen& seen, qint64 nowMs) const;

    QMap<QString, Seen> files_; // sorted by name: the order files are taken in
};
