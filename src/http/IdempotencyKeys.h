#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <deque>
#include <optional>

// The Idempotency-Key of each send that started a job, with a fingerprint of its request, so
// that a client that repeats a send (its answer was lost) gets the first job instead of a
// second send, and a key reused for another request is noticed. The newest `capacity` keys
// are kept.
class IdempotencyKeys {
public:
    explicit IdempotencyKeys(int capacity = 10000) : capacity_(capacity) {}

    struct Seen {
        QString jobId;
        bool sameRequest = false;
    };
    std::optional<Seen> find(const QString& key, const QByteArray& fingerprint) const;
    void remember(const QString& key, const QByteArray& fingerprint, const QString& jobId);

    // Whether `key` may be one: 1 to 255 visible ASCII characters.
    static bool isValid(const QByteArray& key);

private:
    struct Entry {
        QByteArray fingerprint;
        QString jobId;
    };
    int capacity_;
    QHash<QString, Entry> entries_;
    std::deque<QString> order_; // oldest first
};
