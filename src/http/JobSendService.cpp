#include "http/JobSendService.h"

#include "journal/Journal.h"
#include "journal/ScaleHistory.h"
#include "protocol/DownloadPlan.h"
#include "tables/Table.h"

#include <algorithm>

namespace {

// The rows as the table the "Download" tab would send them from, row 1 first.
template <typename T, typename Record>
DownloadPlan planRows(const std::vector<Record>& rows, const DownloadSelection& selection) {
    auto table = std::make_unique<T>();
    table->reset();
    for (std::size_t i = 0; i < rows.size(); ++i)
        table->records[i + 1] = rows[i];
    table->count = qint16(rows.size());
    // Not "?": the rows have a source, the request.
    return planDownload(*table, QStringLiteral("request"), selection);
}

// A row the journal recorded, as the interface shows it: its record from the fields' texts.
template <typename Record> Record recordOf(const journal::FieldTexts& fields) {
    Record record;
    const auto& kind = Record::kind().fields;
    for (int f = 0; f < kind.size() && f < fields.size(); ++f) {
        if (kind[f].kind == FieldKind::Text)
            record.setText(f, fields[f].second);
        else
            record.setNumber(f, fields[f].second.toLongLong());
    }
    return record;
}

JournalEntry entryOf(const journal::RowRecord& row) {
    JournalEntry entry;
    entry.time = row.at;
    entry.scale = row.run.start.scaleName;
    if (row.run.start.kind == IngredRecord::kind().name)
        entry.record = recordOf<IngredRecord>(row.row.fields);
    else
        entry.record = recordOf<PluRecord>(row.row.fields);
    entry.accepted = row.row.accepted;
    entry.retries = row.row.retries;
    return entry;
}

} // namespace

JobSendService::JobSendService(QList<ScaleEntry> scales, Clock& clock,
                               std::unique_ptr<journal::Journal> journal, const PortNames& names)
    : scales_(std::move(scales)), clock_(clock), journal_(std::move(journal)), names_(names) {}

JobSendService::~JobSendService() = default;

SendStart JobSendService::startSend(const SendRequest& request) {
    const bool plu = std::holds_alternative<std::vector<PluRecord>>(request.rows);
    const std::size_t rowCount =
        std::visit([](const auto& rows) { return rows.size(); }, request.rows);
    const std::size_t capacity = plu ? PluTable::kDataRows : IngredTable::kDataRows;
    if (rowCount == 0 || rowCount > capacity)
        return {{},
                Refusal::Invalid,
                QStringLiteral("a send takes 1 to %1 rows, not %2").arg(capacity).arg(rowCount)};
    if (const QString busy = busyScale(request.scales); !busy.isEmpty())
        return {
            {}, Refusal::Busy, QStringLiteral("scale %1 is still busy with another job").arg(busy)};
    QList<ScaleEntry> chosen;
    for (const ScaleEntry& scale : scales_)
        if (request.scales.contains(scale.name))
            chosen << scale;
    if (chosen.isEmpty())
        return {{}, Refusal::Invalid, QStringLiteral("no scale was named")};

    const DownloadPlan plan =
        plu ? planRows<PluTable>(std::get<std::vector<PluRecord>>(request.rows), request.selection)
            : planRows<IngredTable>(std::get<std::vector<IngredRecord>>(request.rows),
                                    request.selection);
    if (plan.refused())
        return {{}, Refusal::Invalid, plan.refusal.trimmed()};

    forgetOldSends();
    Send send{QString::number(nextId_++), plu ? QStringLiteral("plu") : QStringLiteral("ingred"),
              std::make_unique<ScaleJobs>(clock_, names_)};
    const auto publish = [this, id = send.id, table = send.table, jobs = send.jobs.get()] {
        board_.put(statusOf(id, table, *jobs));
    };
    // No file: the journal names the job the rows came with.
    const RunFacts facts{QStringLiteral("HTTP job %1").arg(send.id), {}};
    connect(send.jobs.get(), &ScaleJobs::jobStarted, this, [this, publish, facts](ScaleJob* job) {
        job->setJournal(journal_->path(), facts);
        connect(job, &ScaleJob::progressed, this, publish);
        connect(job, &ScaleJob::stateChanged, this, publish);
        connect(job, &ScaleJob::finished, this, [this, job, publish] {
            noteEnd(*job);
            publish();
        });
    });
    send.jobs->startAll(chosen, DownloadWork{plan, {}, request.changed});
    publish();
    sends_.push_back(std::move(send));
    return {sends_.back().id, Refusal::None, {}};
}

const JobSendService::Send* JobSendService::find(const QString& id) const {
    const auto it = std::find_if(sends_.begin(), sends_.end(),
                                 [&id](const Send& send) { return send.id == id; });
    return it == sends_.end() ? nullptr : &*it;
}

JobStatus JobSendService::statusOf(const QString& id, const QString& table, const ScaleJobs& jobs) {
    JobStatus status{id, table, {}};
    for (const auto& job : jobs.jobs())
        status.scales.append({job->scale(), job->result()});
    return status;
}

std::optional<JobStatus> JobSendService::job(const QString& id) const {
    const Send* send = find(id);
    if (!send)
        return std::nullopt;
    return statusOf(send->id, send->table, *send->jobs);
}

CancelResult JobSendService::cancel(const QString& id) {
    const Send* send = find(id);
    if (!send)
        return CancelResult::NotFound;
    if (!send->jobs->running())
        return CancelResult::AlreadyEnded;
    send->jobs->cancelAll();
    return CancelResult::Cancelling;
}

QString JobSendService::busyScale(const QStringList& names) const {
    for (const Send& send : sends_) {
        for (const auto& job : send.jobs->jobs()) {
            if (!job->result().ended() && names.contains(job->scale().name))
                return job->scale().name;
        }
    }
    return {};
}

void JobSendService::noteEnd(const ScaleJob& job) {
    const JobResult& result = job.result();
    if (result.succeeded())
        lastError_.remove(job.scale().name);
    else
        lastError_.insert(job.scale().name,
                          result.lastText.isEmpty() ? result.ending.reason : result.lastText);
}

void JobSendService::forgetOldSends() {
    // Ended sends go oldest first; a running one stays however old it is.
    for (auto it = sends_.begin(); it != sends_.end() && int(sends_.size()) >= kKeptSends;) {
        if (it->jobs->running()) {
            ++it;
        } else {
            board_.remove(it->id);
            it = sends_.erase(it);
        }
    }
}

QList<ScaleStatus> JobSendService::scales() const {
    QList<ScaleStatus> list;
    for (const ScaleEntry& scale : scales_) {
        const journal::ScaleHistory history = journal::scaleHistory(*journal_, scale.name);
        // A failure of this server's own is the newest; else the journal's.
        const QString lastError = lastError_.value(scale.name, history.errorReason);
        list.append({scale, std::nullopt, history.lastSend, lastError});
    }
    return list;
}

JournalPage JobSendService::journal(const JournalQuery& query) const {
    journal::RowFilter filter;
    filter.scale = query.scale;
    if (query.plu) {
        filter.kind = PluRecord::kind().name;
        filter.number = query.plu;
    }
    filter.since = query.since;
    filter.until = query.until;
    filter.newestFirst = true;
    filter.limit = query.limit + 1; // one more tells that there are more
    JournalPage page;
    page.error = journal_->sentRows(filter, [&](const journal::RowRecord& row) {
        if (page.entries.size() == query.limit) {
            page.more = true;
            return false;
        }
        page.entries.append(entryOf(row));
        return true;
    });
    return page;
}
