#include "hotfolder/InboxWatch.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// One read takes at most this much; what is left is read by the next call.
constexpr int kReadBytes = 64 * 1024;
// Events kept per call. A flood beyond it is summed up as one Overflow: the folder is then
// looked at as a whole.
constexpr int kMaxEvents = 16384;

class InotifyWatch : public InboxWatch {
public:
    explicit InotifyWatch(const QString& folder) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) {
            problem_ = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        const uint32_t mask = IN_ONLYDIR | IN_MOVED_TO | IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE |
                              IN_ATTRIB | IN_MOVED_FROM | IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF;
        if (::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), mask) < 0) {
            problem_ = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &InboxWatch::changed);
    }

    ~InotifyWatch() override {
        delete notifier_;
        if (fd_ >= 0)
            ::close(fd_);
    }

    QString problem() const override { return problem_; }

    QList<InboxEvent> takeEvents() override {
        QList<InboxEvent> events;
        if (!problem_.isEmpty())
            return events;
        alignas(struct inotify_event) char buffer[kReadBytes];
        while (events.size() < kMaxEvents) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                break; // EAGAIN: nothing more for now
            for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += ssize_t(sizeof(inotify_event)) + event->len;
                if (at > got)
                    break; // the kernel never splits an event; this guards the arithmetic
                appendEvent(*event, events);
            }
        }
        if (events.size() >= kMaxEvents)
            events.append({InboxEvent::Kind::Overflow, QString()});
        return events;
    }

private:
    static void appendEvent(const inotify_event& event, QList<InboxEvent>& events) {
        if (event.mask & IN_Q_OVERFLOW) {
            events.append({InboxEvent::Kind::Overflow, QString()});
            return;
        }
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
            events.append({InboxEvent::Kind::FolderGone, QString()});
            return;
        }
        if (event.len == 0)
            return;
        const QString name = QFile::decodeName(event.name); // the name ends in zero bytes
        if (event.mask & IN_MOVED_TO)
            events.append({InboxEvent::Kind::RenamedIn, name});
        else if (event.mask & (IN_MOVED_FROM | IN_DELETE))
            events.append({InboxEvent::Kind::Gone, name});
        else
            events.append({InboxEvent::Kind::Written, name});
    }

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QString problem_;
};

} // namespace

std::unique_ptr<InboxWatch> InboxWatch::create(const QString& folder) {
    return std::make_unique<InotifyWatch>(folder);
}
