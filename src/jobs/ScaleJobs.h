#pragma once

#include "jobs/ScaleJob.h"

#include <QList>
#include <QObject>

#include <memory>
#include <vector>

// The jobs of one "Send PLU", "Send INGRED" or "Read display" over several scales: one
// ScaleJob per scale, all started at once, each on its own port. A scale that fails never
// stops the others.
class ScaleJobs : public QObject {
    Q_OBJECT
public:
    explicit ScaleJobs(Clock& clock, const PortNames& names = PortNames::platformDefault(),
                       QObject* parent = nullptr);
    ~ScaleJobs() override; // cancels every job still running

    // One job per scale, each with its own copy of `work`, all started. Jobs of an earlier
    // start that have ended are dropped first; false (and nothing started) while any runs.
    bool startAll(const QList<ScaleEntry>& scales, const JobWork& work);

    const std::vector<std::unique_ptr<ScaleJob>>& jobs() const { return jobs_; }
    // The jobs of the last start, once every one has ended; the group keeps none.
    std::vector<std::unique_ptr<ScaleJob>> takeJobs();
    bool running() const; // some job has not ended
    void cancelAll(const QString& reason = QStringLiteral("Cancel"));

Q_SIGNALS:
    void jobStarted(ScaleJob* job); // for each job, right after it was made, before it starts
    void allFinished();             // once per startAll, when the last job has ended

private:
    Clock& clock_;
    PortNames names_;
    std::vector<std::unique_ptr<ScaleJob>> jobs_;
    int running_ = 0;
};
