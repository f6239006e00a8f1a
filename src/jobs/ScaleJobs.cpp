#include "jobs/ScaleJobs.h"

ScaleJobs::ScaleJobs(Clock& clock, const PortNames& names, QObject* parent)
    : QObject(parent), clock_(clock), names_(names) {}

ScaleJobs::~ScaleJobs() {
    // Each job aborts its exchange as it is destroyed; nothing of them runs afterwards.
    for (const auto& job : jobs_)
        QObject::disconnect(job.get(), nullptr, this, nullptr);
}

bool ScaleJobs::running() const {
    return running_ > 0;
}

bool ScaleJobs::startAll(const QList<ScaleEntry>& scales, const JobWork& work) {
    if (running())
        return false;
    // The last job of the earlier start may still be on its way out of its own `finished`.
    for (auto& job : jobs_)
        job.release()->deleteLater();
    jobs_.clear();
    running_ = int(scales.size());
    for (const ScaleEntry& scale : scales) {
        jobs_.push_back(std::make_unique<ScaleJob>(scale, work, clock_, names_));
        ScaleJob* job = jobs_.back().get();
        connect(job, &ScaleJob::finished, this, [this] {
            if (--running_ == 0)
                Q_EMIT allFinished();
        });
        Q_EMIT jobStarted(job);
    }
    // All made before the first starts: on a clock that never suspends a job ends inside
    // start(), and allFinished must not come before the last job exists.
    for (std::size_t i = 0; i < jobs_.size(); ++i)
        jobs_[i]->start();
    if (scales.isEmpty())
        Q_EMIT allFinished();
    return true;
}

std::vector<std::unique_ptr<ScaleJob>> ScaleJobs::takeJobs() {
    Q_ASSERT(!running());
    for (const auto& job : jobs_)
        QObject::disconnect(job.get(), nullptr, this, nullptr);
    return std::exchange(jobs_, {});
}

void ScaleJobs::cancelAll(const QString& reason) {
    for (const auto& job : jobs_)
        job->cancel(reason);
}
