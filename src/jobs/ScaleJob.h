#pragma once

#include "async/Task.h"
#include "jobs/CheckedDownload.h"
#include "jobs/PluCompare.h"
#include "jobs/ScaleEntry.h"
#include "protocol/DisplayValues.h"
#include "protocol/DownloadPlan.h"
#include "serial/LinkFactory.h"
#include "serial/TransferAbort.h"

#include <QObject>
#include <QString>

#include <memory>
#include <variant>

class Clock;
class LineLog;
class Link;

// Where a scale's job stands, as its row on the "Scales" tab shows it.
enum class JobState {
    Waiting,   // made, not started
    Sending,   // the port is open and the exchange runs
    Retrying,  // the exchange announced "Retry #n" for the current row
    Done,      // ended as the operator expects (" THE END ", or the display read)
    Failed,    // refused, given up, or the port failed or could not be opened
    Cancelled, // cancelled ("Cancel", "Cancel all", Exit, Ctrl-C)
};
QString stateName(JobState state); // "waiting", "sending", "retrying", "done", "failed", ...

// What a job did: for the report and the tab.
struct JobOutcome {
    JobState state = JobState::Waiting;
    int rowsDone = 0;  // rows the scale accepted (download)
    int rowsTotal = 0; // rows selected (download)
    int retries = 0;   // "Retry #n" announced, all rows together
    QString lastText;  // the last status text

    bool succeeded() const { return state == JobState::Done; }
    bool ended() const {
        return state == JobState::Done || state == JobState::Failed || state == JobState::Cancelled;
    }
};

// What a job does on its scale.
struct DownloadWork {
    DownloadPlan plan;     // settled before the job starts; the job keeps its own copy
    DownloadChecks checks; // backup and verify (PLUs only); the backup is named after the scale
};
struct DisplayWork {};
// Reads the scale's PLU table into records of the job's own and compares it with `table`.
struct CompareWork {
    std::shared_ptr<const PluTable> table;
};
using JobWork = std::variant<DownloadWork, DisplayWork, CompareWork>;

// One transfer with one scale, as an object of its own: its own port (made from the scale's
// port name, opened when it starts, closed when it ends), its own copy of the rows, its own
// cancel. It runs on the event loop beside any number of others and tells how it goes by
// signals. Every byte, text, time-out, pause and retry are those of the single-port
// exchanges.
class ScaleJob : public QObject {
    Q_OBJECT
public:
    ScaleJob(ScaleEntry scale, JobWork work, Clock& clock,
             const PortNames& names = PortNames::platformDefault(), QObject* parent = nullptr);
    ~ScaleJob() override; // a job still running is cancelled: no further byte

    const ScaleEntry& scale() const { return scale_; }
    const JobOutcome& outcome() const { return outcome_; }
    DisplayValues display() const { return display_; } // after a DisplayWork that succeeded
    const QList<PluDifference>& differences() const { return differences_; } // after a compare

    // Every byte of the job's line goes to `log` (which outlives the job); set before start().
    void setLineLog(LineLog* log) { lineLog_ = log; }

    void start(); // once
    void cancel(const QString& reason = QStringLiteral("Cancel"));

Q_SIGNALS:
    void statusText(const QString& text); // every status text, as it happens
    void progress(int rowsDone, int rowsTotal);
    void stateChanged(JobState state);
    void finished(); // once, when the job has ended and its port is closed

private:
    async::Task<void> run();
    async::Task<JobState> runWork(Link& link);
    void show(const QString& text);
    void setState(JobState state);

    ScaleEntry scale_;
    JobWork work_;
    Clock& clock_;
    PortNames names_;
    TransferAbort abort_;
    JobOutcome outcome_;
    DisplayValues display_;
    QList<PluDifference> differences_;
    LineLog* lineLog_ = nullptr;
    async::Task<void> running_;
};
