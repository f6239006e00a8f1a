#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// What the system tells about the names of the inbox, in the order it happened.
struct InboxEvent {
    enum class Kind {
        RenamedIn,  // the name was renamed or moved into the folder: the file is complete
        Written,    // made, written or touched in place: it may still be growing
        Gone,       // deleted or renamed away
        Overflow,   // events were lost: every name counts as written just now
        FolderGone, // the folder itself was deleted or moved: nothing more arrives
    };
    Kind kind;
    QString name; // empty for Overflow and FolderGone
};

// Watches the inbox folder (not its subfolders) and says when something happened, without
// polling. On Linux it reads inotify, which tells a file renamed into the folder from one
// written in it. Elsewhere QFileSystemWatcher only tells that the folder changed, so every
// file there waits until it has been quiet.
class InboxWatch : public QObject {
    Q_OBJECT
public:
    static std::unique_ptr<InboxWatch> create(const QString& folder);

    // Why the folder cannot be watched ("No such file or directory"), or an empty text.
    virtual QString problem() const = 0;

    // The events that came since the last call, without waiting for any.
    virtual QList<InboxEvent> takeEvents() = 0;

Q_SIGNALS:
    void changed(); // something happened in the folder: takeEvents() and a look tell what
};
