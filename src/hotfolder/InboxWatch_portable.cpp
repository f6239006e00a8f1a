#include "hotfolder/InboxWatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace {

// QFileSystemWatcher says that the folder changed, not how; the look at the folder that
// follows finds the names, and each waits until it has been quiet.
class FolderChangeWatch : public InboxWatch {
public:
    explicit FolderChangeWatch(const QString& folder) {
        if (!QFileInfo(folder).isDir())
            problem_ = QStringLiteral("it is not a folder");
        else if (!watcher_.addPath(folder))
            problem_ = QStringLiteral("the system cannot watch it");
        connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this, folder] {
            if (!QFileInfo(folder).isDir())
                gone_ = true;
            Q_EMIT changed();
        });
    }

    QString problem() const override { return problem_; }

    QList<InboxEvent> takeEvents() override {
        if (!gone_)
            return {};
        gone_ = false;
        return {{InboxEvent::Kind::FolderGone, QString()}};
    }

private:
    QFileSystemWatcher watcher_;
    QString problem_;
    bool gone_ = false;
};

} // namespace

std::unique_ptr<InboxWatch> InboxWatch::create(const QString& folder) {
    return std::make_unique<FolderChangeWatch>(folder);
}
