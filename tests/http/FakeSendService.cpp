#include "FakeSendService.h"

#include <QTimeZone>

void FakeSendService::end(const QString& id, JobState state) {
    for (ScaleReportEntry& entry : jobs_[id].scales) {
        entry.result.state = state;
        entry.result.ending = state == JobState::Done
                                  ? Ending{}
                                  : Ending{Outcome::Cancelled, QStringLiteral("Cancel")};
        if (state == JobState::Done)
            entry.result.rowsDone = entry.result.rowsTotal;
        entry.result.lastText = state == JobState::Done ? QStringLiteral(" THE END ")
                                                         : QStringLiteral("Transfer cancelled");
    }
}

SendStart FakeSendService::startSend(const SendRequest& request) {
    if (refuseWith != Refusal::None)
        return SendStart{QString(), refuseWith, QStringLiteral("refused as the test asked")};
    started.append(request);
    const QString id = QStringLiteral("job-%1").arg(started.size());
    JobStatus status{id,
                     std::holds_alternative<std::vector<PluRecord>>(request.rows)
                         ? QStringLiteral("plu")
                         : QStringLiteral("ingred"),
                     {}};
    const int rows = int(std::visit([](const auto& r) { return r.size(); }, request.rows));
    for (const QString& name : request.scales) {
        JobResult outcome;
        outcome.state = JobState::Sending;
        outcome.rowsTotal = rows;
        for (const ScaleEntry& scale : list_)
            if (scale.name == name)
                status.scales.append({scale, outcome});
    }
    jobs_.insert(id, status);
    return SendStart{id, Refusal::None, QString()};
}

std::optional<JobStatus> FakeSendService::job(const QString& id) const {
    const auto it = jobs_.constFind(id);
    return it == jobs_.constEnd() ? std::nullopt : std::optional<JobStatus>(*it);
}

CancelResult FakeSendService::cancel(const QString& id) {
    const std::optional<JobStatus> status = job(id);
    if (!status)
        return CancelResult::NotFound;
    if (status->scales.isEmpty() || status->scales.first().result.ended())
        return CancelResult::AlreadyEnded;
    cancelled << id;
    end(id, JobState::Cancelled);
    return CancelResult::Cancelling;
}

QList<ScaleStatus> FakeSendService::scales() const {
    QList<ScaleStatus> all;
    for (int i = 0; i < list_.size(); ++i) {
        ScaleStatus status{list_[i], std::nullopt, QDateTime(), QString()};
        if (i % 2 == 0) {
            status.answers = true;
            status.lastSend = QDateTime(QDate(2024, 5, 31), QTime(18, 0), QTimeZone::utc());
        } else {
            status.lastError = QStringLiteral("Transfer stopped on port ") + list_[i].port;
        }
        all.append(status);
    }
    return all;
}

JournalPage FakeSendService::journal(const JournalQuery& query) const {
    JournalPage page;
    for (const SendRequest& request : started) {
        for (const QString& scale : request.scales) {
            if (!query.scale.isEmpty() && query.scale != scale)
                continue;
            std::visit(
                [&](const auto& rows) {
                    for (const auto& record : rows) {
                        if (query.plu && record.number(0) != *query.plu)
                            continue;
                        if (page.entries.size() == query.limit) {
                            page.more = true;
                            return;
                        }
                        page.entries.append(JournalEntry{
                            QDateTime(QDate(2024, 6, 1), QTime(9, 0), QTimeZone::utc()), scale,
                            record, true, 0});
                    }
                },
                request.rows);
        }
    }
    return page;
}
