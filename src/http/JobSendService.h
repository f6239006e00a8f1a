#pragma once

#include "http/JobBoard.h"
#include "http/SendService.h"
#include "jobs/ScaleJobs.h"

#include <QHash>
#include <QObject>

namespace journal {
class Journal;
} // namespace journal

#include <deque>
#include <memory>

class Clock;

// The program behind `scalectl serve`: each send is one ScaleJob per scale, each on a port
// of its own, exactly as `scalectl download` runs them over several scales, and recorded in
// the send journal as they record. A scale takes one job at a time; a send that names a scale
// still busy is refused, never queued behind it. The journal's questions are answered from
// the same file.
class JobSendService : public QObject, public SendService {
    Q_OBJECT
public:
    // `journal` is open; its file is where every job records.
    JobSendService(QList<ScaleEntry> scales, Clock& clock,
                   std::unique_ptr<journal::Journal> journal,
                   const PortNames& names = PortNames::platformDefault());
    ~JobSendService() override; // cancels every job still running: no further byte

    QList<ScaleEntry> scaleList() const override { return scales_; }
    SendStart startSend(const SendRequest& request) override;
    std::optional<JobStatus> job(const QString& id) const override;
    CancelResult cancel(const QString& id) override;
    QList<ScaleStatus> scales() const override;
    JournalPage journal(const JournalQuery& query) const override;
    const JobBoard* jobBoard() const override { return &board_; }

    // The newest this many sends are kept for GET /v1/jobs; older ones that have ended go.
    static constexpr int kKeptSends = 1000;

private:
    struct Send {
        QString id;
        QString table; // "plu" or "ingred"
        std::unique_ptr<ScaleJobs> jobs;
    };
    const Send* find(const QString& id) const;
    QString busyScale(const QStringList& names) const; // the first one a running job has
    void noteEnd(const ScaleJob& job);
    static JobStatus statusOf(const QString& id, const QString& table, const ScaleJobs& jobs);
    void forgetOldSends();

    QList<ScaleEntry> scales_;
    Clock& clock_;
    std::unique_ptr<journal::Journal> journal_;
    PortNames names_;
    std::deque<Send> sends_; // oldest first
    int nextId_ = 1;
    QHash<QString, QString> lastError_; // by scale name: the reason its last job failed
    JobBoard board_;                    // every kept send's status, as it changes
};
