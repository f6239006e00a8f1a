#include "app/TransferSession.h"
#include "app/frmMain.h"
#include "jobs/ScaleJob.h"

// The single-port tabs' jobs: each command starts a ScaleJob on the open port and returns;
// the job goes on from the event loop as the scale answers, and its end calls the command's
// `ended`, which may continue the session with a follow-up (a download without the backup
// that could not be made).

bool frmMain::lineBusy() const {
    return lineWork_ > 0 || (lineJob_ && !lineJob_->result().ended());
}

void frmMain::startLineJob(JobWork work, TransferSession::Kind kind, LineJobHooks hooks) {
    if (!link_ || lineBusy())
        return;
    auto session = TransferSession::begin(*this, kind, {});
    if (!session)
        return;
    lineSession_ = std::move(session);
    runLineJob(std::move(work), std::move(hooks));
}

void frmMain::continueLineJob(JobWork work, LineJobHooks hooks) {
    if (link_ && lineSession_)
        runLineJob(std::move(work), std::move(hooks));
}

void frmMain::runLineJob(JobWork work, LineJobHooks hooks) {
    // The job before it may be on its way out of its own `finished`.
    if (lineJob_)
        lineJob_.release()->deleteLater();
    lineJob_ = std::make_unique<ScaleJob>(*link_, std::move(work), *clock_);
    ScaleJob* job = lineJob_.get();
    job->setLineLog(&lineLog_);
    const bool fromTable = std::holds_alternative<DownloadWork>(job->work()) ||
                           std::holds_alternative<CompareWork>(job->work());
    job->setJournal(journalPath(), fromTable ? RunFacts::ofFile(sourcePath()) : RunFacts{});
    lineSession_->setCancel([job](const QString& reason) { job->cancel(reason); });
    if (!std::holds_alternative<DisplayWork>(job->work())) // the display read shows no texts
        connect(job, &ScaleJob::statusText, this, &frmMain::showStatus);
    connect(job, &ScaleJob::progressed, this,
            [this](int done, int total) { lineSession_->setProgress(done, total); });
    if (hooks.prepare)
        hooks.prepare(*job);
    connect(job, &ScaleJob::finished, this, [this, job, ended = std::move(hooks.ended)] {
        const TransferSession* before = lineSession_.get();
        const ScaleJob* current = lineJob_.get();
        if (ended)
            ended(*job);
        // Unless `ended` started a follow-up, the session ends with the job.
        if (lineSession_.get() == before && lineJob_.get() == current)
            lineSession_.reset();
    });
    job->start();
}
