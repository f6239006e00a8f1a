#pragma once

#include "async/Task.h"
#include "jobs/CheckedDownload.h"
#include "jobs/JobJournal.h"
#include "jobs/JobResult.h"
#include "jobs/PluCompare.h"
#include "jobs/ScaleEntry.h"
#include "protocol/DisplayValues.h"
#include "protocol/DownloadPlan.h"
#include "protocol/UploadEngine.h"
#include "serial/LinkFactory.h"
#include "serial/TransferAbort.h"

#include <QObject>
#include <QString>

#include <memory>
#include <variant>

class Clock;
class LineLog;
class Link;
class Wire;

// What a job does on its scale.
struct DownloadWork {
    DownloadPlan plan;     // settled before the job starts; the job keeps its own copy
    DownloadChecks checks; // backup and verify (PLUs only); the backup is named after the scale
    // Only the rows whose record differs from what the journal says the scale holds (rows it
    // knows nothing of included); without a journal every row.
    bool changedOnly = false;
};
// Reads PLU records into a table of the job's own (uploadedTable()).
struct UploadWork {
    UploadSelection selection;
};
struct DisplayWork {};
// Reads the scale's PLU table into records of the job's own and compares it with `table`.
struct CompareWork {
    std::shared_ptr<const PluTable> table;
};
using JobWork = std::variant<DownloadWork, UploadWork, DisplayWork, CompareWork>;

// One transfer with one scale, as an object of its own: a download with its checks, an
// upload, a compare or a display read. It runs on a port of its own (made from the scale's
// port name, opened when it starts, closed when it ends) or on a port that is open already
// (the window's, borrowed and left open). It owns its copy of the rows and its cancel, runs
// on the event loop beside any number of others, and tells how it goes by typed signals;
// every front end (the window, tab "Scales", scalectl) is a thin driver of it. Every byte,
// text, time-out, pause and retry are those of the exchanges.
class ScaleJob : public QObject {
    Q_OBJECT
public:
    // On a port of its own.
    ScaleJob(ScaleEntry scale, JobWork work, Clock& clock,
             const PortNames& names = PortNames::platformDefault(), QObject* parent = nullptr);
    // On `borrowed`, which is open and outlives the job; the job leaves it open.
    ScaleJob(Link& borrowed, JobWork work, Clock& clock, QObject* parent = nullptr);
    ~ScaleJob() override; // a job still running is cancelled: no further byte

    const ScaleEntry& scale() const { return scale_; }
    const JobWork& work() const { return work_; }
    const JobResult& result() const { return result_; }

    // The text of the job's end where no exchange showed one: the port that could not be
    // opened, the display read ("1250 899 1124", or what the scale did instead), the
    // compare's summary. Empty otherwise, and while the job runs.
    QString endText() const { return endText_; }

    // Results, once the job has ended.
    DisplayValues display() const { return display_; } // for a display read with showsValues()
    bool showsValues() const { return showsValues_; }  // the values came (or zeros for no record)
    const QList<PluDifference>& differences() const { return differences_; } // after a compare
    const CheckedDownload& download() const { return download_; }            // after a download
    // After an upload: the table the records came into, and whether the scale's first accepted
    // reply replaced it (uploadTableReplaced); null for other work.
    PluTable* uploadedTable() const { return uploaded_.get(); }
    const UploadResult& upload() const { return upload_; }

    // Every byte of the job's line goes to `log` (which outlives the job); set before start().
    void setLineLog(LineLog* log) { lineLog_ = log; }
    // Records the job in the send journal at `path`; set before start(). Its start is written
    // before the first byte, or the job ends Refused with the journal's text; a row that
    // cannot be recorded stops the job after it. No status text of its own otherwise.
    void setJournal(const QString& path, RunFacts facts);

    void start(); // once
    void cancel(const QString& reason = QStringLiteral("Cancel"));

Q_SIGNALS:
    void statusText(const QString& text); // every status text of the exchanges, as it happens
    void progressed(int done, int total); // rows sent (download) or numbers asked (upload)
    void retrying(int retry, const QString& failure); // "Retry #n" after `failure`
    void stateChanged(JobState state);
    void uploadTableReplaced(); // the upload's first accepted reply: its table is now shown
    void finished();            // once, when the job has ended and its own port is closed

private:
    async::Task<void> run();
    async::Task<Ending> runWork(Link& link);
    async::Task<Ending> runDownload(Wire& wire, const DownloadWork& work);
    async::Task<Ending> runUpload(Wire& wire, const UploadWork& work);
    async::Task<Ending> runCompare(Wire& wire, const CompareWork& work);
    async::Task<Ending> runDisplay(Wire& wire);
    ExchangeEvents events();
    void show(const QString& text);
    void setState(JobState state);
    void end(Ending ending);
    // The journal's part (ScaleJobJournal.cpp): the run's start and the rows that are to go.
    QString beginJournal();
    journal::RunStart runStart() const;
    QString keepChangedRows(DownloadWork& work) const;
    void recordRow(const RowExchange& row);

    ScaleEntry scale_;
    JobWork work_;
    Clock& clock_;
    PortNames names_;
    Link* borrowed_ = nullptr;
    TransferAbort abort_;
    JobResult result_;
    QString endText_;
    DisplayValues display_;
    bool showsValues_ = false;
    QList<PluDifference> differences_;
    CheckedDownload download_;
    std::unique_ptr<PluTable> uploaded_;
    UploadResult upload_;
    LineLog* lineLog_ = nullptr;
    std::unique_ptr<JobJournal> journal_;
    RunFacts runFacts_;
    QString journalFailure_; // the row that could not be recorded stopped the job
    async::Task<void> running_;
};
