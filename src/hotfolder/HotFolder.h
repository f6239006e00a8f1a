#pragma once

#include "hotfolder/FileResult.h"
#include "hotfolder/InboxWatch.h"
#include "hotfolder/ReadyFiles.h"

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class Clock;

// The folders of a hot folder. An empty DONE or FAILED is INBOX/done or INBOX/failed.
struct HotFolderPaths {
    QString inbox;
    QString done;
    QString failed;
};

// A file the hot folder has taken: the driver reads it from `path`.
struct InboxFile {
    QString name; // in the inbox
    QString path;
    qint64 size = 0;
    QDateTime modified;
    QDateTime metadataChanged; // with size and modified: whether it changed while in hand
    QDateTime taken;           // on the wall clock
};

// The inbox of a hot folder: it takes the complete files in name order, one at a time, and
// moves each exactly once to DONE or FAILED with NAME.result.json beside it. A driver does:
//
//   connect(&folder, &HotFolder::fileReady, [&](const InboxFile& file) {
//       // read file.path whole and check it; a file that cannot be read or mapped:
//       //     folder.finish(FileResult::refused(reason)); (nothing is sent)
//       // else start the send and, when it has ended:
//       //     folder.finish(result);
//   });
//   if (const QString problem = folder.start(); !problem.isEmpty()) ...
//
// finish() may be called inside fileReady or later from the event loop; the next file is
// offered after it, never while one is in hand. A file still in the inbox after a crash is
// simply taken again on the next start. Time is that of the injected clock; the wall clock
// only names the time stamps.
class HotFolder : public QObject {
    Q_OBJECT
public:
    HotFolder(const HotFolderPaths& paths, Clock& clock, QObject* parent = nullptr);
    ~HotFolder() override;

    // Makes DONE and FAILED where they are missing, locks the inbox (one hot folder per
    // inbox), starts watching it and takes the first complete file. Returns why it cannot
    // ("the inbox /srv/inbox is watched by process 4711 (scalectl on till-1) already"), or an
    // empty text.
    QString start();

    const HotFolderPaths& paths() const { return paths_; }
    const std::optional<InboxFile>& current() const { return current_; }

    // The driver's result for the file in hand: moves it to DONE when result.succeeded(),
    // else to FAILED, writes its result file beside it, and takes the next file.
    void finish(const FileResult& result);

    // Looks at the inbox now. The watch and a timer call it; a test calls it after moving its
    // clock on.
    void scan();

    void setWallClock(std::function<QDateTime()> now) { wallClock_ = std::move(now); }

    // Folders that are not reported changed by the system (some network shares) are looked
    // at this often all the same.
    static constexpr qint64 kLookAgainMs = 5000;

Q_SIGNALS:
    void fileReady(const InboxFile& file);
    void fileMoved(const InboxFile& file, const QString& movedTo); // its result is beside it
    // A file that vanished or cannot be moved, a result that cannot be written, an inbox
    // that went away: said in a sentence that names the file.
    void problem(const QString& text);

private:
    void takeNext();
    void scheduleLook();
    QList<FileSighting> lookAtInbox() const;
    void place(const InboxFile& file, const FileResult& result);

    HotFolderPaths paths_;
    Clock& clock_;
    std::function<QDateTime()> wallClock_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<InboxWatch> watch_;
    ReadyFiles ready_;
    std::optional<InboxFile> current_;
    QSet<QString> held_; // could not be moved: not taken again while it stays in the inbox
    QTimer lookAgain_;
    bool taking_ = false;
    bool watching_ = false;
};
