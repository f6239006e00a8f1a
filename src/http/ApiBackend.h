#pragma once

#include "http/ApiAnswer.h"
#include "http/IdempotencyKeys.h"
#include "http/SendService.h"

#include <QByteArray>
#include <QString>

// The HTTP interface's side on the Qt thread: asks the SendService and turns what it says
// into answers. Everything here runs on the Qt thread, one call after another, so a send and
// its Idempotency-Key are settled together.
class ApiBackend {
public:
    explicit ApiBackend(SendService& service) : service_(service) {}

    // `request.scales` empty: every scale of the list. `key` may be empty.
    ApiAnswer startSend(SendRequest request, const QString& key, const QByteArray& fingerprint);
    ApiAnswer job(const QString& id) const;
    // The answer to GET /v1/jobs/{id} for what the service knows of it.
    static ApiAnswer jobAnswer(const QString& id, const std::optional<JobStatus>& status);
    const JobBoard* jobBoard() const { return service_.jobBoard(); } // from any thread
    ApiAnswer cancel(const QString& id);
    ApiAnswer scales() const;
    ApiAnswer journal(const JournalQuery& query) const;
    ApiAnswer health() const;

private:
    // The names as the list spells them, or the problem with one.
    std::optional<RequestProblem> resolveScales(QStringList& names) const;

    SendService& service_;
    IdempotencyKeys keys_;
};
