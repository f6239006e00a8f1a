#include "http/JobBoard.h"

void JobBoard::put(const JobStatus& status) {
    const std::lock_guard lock(mutex_);
    jobs_.insert(status.id, status);
}

void JobBoard::remove(const QString& id) {
    const std::lock_guard lock(mutex_);
    jobs_.remove(id);
}

std::optional<JobStatus> JobBoard::find(const QString& id) const {
    const std::lock_guard lock(mutex_);
    const auto it = jobs_.constFind(id);
    if (it == jobs_.constEnd())
        return std::nullopt;
    return *it;
}
