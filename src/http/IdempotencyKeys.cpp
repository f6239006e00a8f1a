#include "http/IdempotencyKeys.h"

#include <algorithm>

std::optional<IdempotencyKeys::Seen> IdempotencyKeys::find(const QString& key,
                                                           const QByteArray& fingerprint) const {
    const auto it = entries_.constFind(key);
    if (it == entries_.constEnd())
        return std::nullopt;
    return Seen{it->jobId, it->fingerprint == fingerprint};
}

void IdempotencyKeys::remember(const QString& key, const QByteArray& fingerprint,
                               const QString& jobId) {
    if (!entries_.contains(key))
        order_.push_back(key);
    entries_.insert(key, Entry{fingerprint, jobId});
    while (int(order_.size()) > capacity_) {
        entries_.remove(order_.front());
        order_.pop_front();
    }
}

bool IdempotencyKeys::isValid(const QByteArray& key) {
    return !key.isEmpty() && key.size() <= 255 &&
           std::all_of(key.begin(), key.end(), [](char c) { return c > ' ' && c < 127; });
}
