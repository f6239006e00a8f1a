#include "http/ApiBackend.h"

#include "http/StatusJson.h"

namespace {

ApiAnswer jobAccepted(const QString& id) {
    const QString url = QStringLiteral("/v1/jobs/") + id;
    ApiAnswer answer = ApiAnswer::json(
        202, QJsonObject{{QStringLiteral("job"), id}, {QStringLiteral("url"), url}});
    answer.addHeader("Location", url.toUtf8());
    return answer;
}

} // namespace

ApiAnswer ApiBackend::startSend(SendRequest request, const QString& key,
                                const QByteArray& fingerprint) {
    if (!key.isEmpty()) {
        if (const auto seen = keys_.find(key, fingerprint)) {
            if (!seen->sameRequest)
                return ApiAnswer::error(409, QStringLiteral("the Idempotency-Key came with "
                                                            "another request before (job %1)")
                                                 .arg(seen->jobId));
            ApiAnswer answer = jobAccepted(seen->jobId);
            answer.addHeader("Idempotent-Replayed", "true");
            return answer;
        }
    }
    if (auto problem = resolveScales(request.scales))
        return problem->answer();
    const SendStart start = service_.startSend(request);
    switch (start.refusal) {
    case Refusal::Invalid:
        return ApiAnswer::error(422, start.reason);
    case Refusal::Busy:
        return ApiAnswer::error(409, start.reason);
    case Refusal::Unavailable:
        return ApiAnswer::error(503, start.reason);
    case Refusal::None:
        break;
    }
    if (!key.isEmpty())
        keys_.remember(key, fingerprint, start.jobId);
    return jobAccepted(start.jobId);
}

std::optional<RequestProblem> ApiBackend::resolveScales(QStringList& names) const {
    const QList<ScaleEntry> list = service_.scaleList();
    if (names.isEmpty()) {
        for (const ScaleEntry& scale : list)
            names << scale.name;
        return std::nullopt;
    }
    for (QString& name : names) {
        const auto it = std::find_if(list.begin(), list.end(), [&](const ScaleEntry& scale) {
            return scale.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == list.end()) {
            QStringList known;
            for (const ScaleEntry& scale : list)
                known << scale.name;
            return RequestProblem{422,
                                  QStringLiteral("no scale is named \"%1\"; the scales are: %2")
                                      .arg(name.left(64), known.join(QStringLiteral(", "))),
                                  0, QStringLiteral("scales")};
        }
        name = it->name;
    }
    return std::nullopt;
}

ApiAnswer ApiBackend::job(const QString& id) const {
    return jobAnswer(id, service_.job(id));
}

ApiAnswer ApiBackend::jobAnswer(const QString& id, const std::optional<JobStatus>& status) {
    if (!status)
        return ApiAnswer::error(404, QStringLiteral("there is no job %1").arg(id));
    return ApiAnswer::json(200, jobJson(*status));
}

ApiAnswer ApiBackend::cancel(const QString& id) {
    switch (service_.cancel(id)) {
    case CancelResult::NotFound:
        return ApiAnswer::error(404, QStringLiteral("there is no job %1").arg(id));
    case CancelResult::AlreadyEnded:
        return ApiAnswer::error(409, QStringLiteral("job %1 has already ended").arg(id));
    case CancelResult::Cancelling:
        break;
    }
    ApiAnswer answer = job(id);
    answer.status = 202; // the scales' jobs end in their own time
    return answer;
}

ApiAnswer ApiBackend::scales() const {
    return ApiAnswer::json(200, scalesJson(service_.scales()));
}

ApiAnswer ApiBackend::journal(const JournalQuery& query) const {
    const JournalPage page = service_.journal(query);
    if (!page.error.isEmpty())
        return ApiAnswer::error(503, page.error);
    return ApiAnswer::json(200, journalJson(page));
}

ApiAnswer ApiBackend::health() const {
    return ApiAnswer::json(
        200, QJsonObject{{QStringLiteral("status"), QStringLiteral("ok")},
                         {QStringLiteral("version"), QStringLiteral(SCALEDESK_VERSION)}});
}
