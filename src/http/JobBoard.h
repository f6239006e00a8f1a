#pragma once

#include "http/SendService.h"

#include <QHash>
#include <QString>

#include <mutex>
#include <optional>

// The jobs' states as the server's threads read them: the service puts a job's status here
// whenever it changes (on the Qt thread), and a poll reads it without waiting for the Qt
// thread, so clients polling however often never hold up the jobs on it.
class JobBoard {
public:
    void put(const JobStatus& status);
    void remove(const QString& id);
    std::optional<JobStatus> find(const QString& id) const;

private:
    mutable std::mutex mutex_;
    QHash<QString, JobStatus> jobs_;
};
