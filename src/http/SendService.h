#pragma once

#include "jobs/JobReport.h"
#include "jobs/ScaleEntry.h"
#include "protocol/DownloadPlan.h"
#include "tables/Records.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

// What the HTTP interface asks of the program behind it: the store's scales, the jobs that
// send to them and the send journal. Every call comes on the Qt thread, where the jobs live,
// and returns at once: nothing here waits on a line.

// The rows of one table in the order they came, row 1 first.
using TableRows = std::variant<std::vector<PluRecord>, std::vector<IngredRecord>>;

struct SendRequest {
    TableRows rows;              // every row checked: each can travel to the scale as it is
    QStringList scales;          // names from the list, each once; never empty
    DownloadSelection selection; // of `rows`, as the "Download" tab selects them
    bool changed = false;        // only the rows the journal says a scale does not hold
};

// Why a send was not started.
enum class Refusal {
    None,
    Invalid,     // the request cannot be carried out as asked (422)
    Busy,        // a scale is taken by another job (409)
    Unavailable, // the program cannot send now, e.g. its journal cannot be written (503)
};

struct SendStart {
    QString jobId;                   // when started: letters, digits, '-' and '_', at most 64
    Refusal refusal = Refusal::None; // otherwise why not
    QString reason;                  // and in words
};

// One job: its table and per scale the fields of `scalectl --report`.
struct JobStatus {
    QString id;
    QString table; // "plu" or "ingred"
    QList<ScaleReportEntry> scales;
};

enum class CancelResult { Cancelling, AlreadyEnded, NotFound };

// One scale as `scalectl status` shows it.
struct ScaleStatus {
    ScaleEntry scale;
    std::optional<bool> answers; // its last display read; nothing when none was made yet
    QDateTime lastSend;          // UTC; invalid when the journal knows of none
    QString lastError;           // empty when none
};

struct JournalQuery {
    QString scale;          // empty: every scale
    std::optional<int> plu; // one PLU number
    QDateTime since, until; // UTC; invalid: open
    int limit = 1000;       // at most this many entries, the newest first
};

// One row exchange the journal recorded.
struct JournalEntry {
    QDateTime time; // UTC
    QString scale;
    std::variant<PluRecord, IngredRecord> record; // as sent
    bool accepted = false;
    int retries = 0;
};

struct JournalPage {
    QList<JournalEntry> entries;
    bool more = false; // the query matched more than `limit` entries
    QString error;     // the journal cannot be read now ("journal PATH: reason"); else empty
};

class JobBoard;

class SendService {
public:
    virtual ~SendService() = default;

    virtual QList<ScaleEntry> scaleList() const = 0; // the scales of --scales LIST
    virtual SendStart startSend(const SendRequest& request) = 0;
    virtual std::optional<JobStatus> job(const QString& id) const = 0;
    virtual CancelResult cancel(const QString& id) = 0;
    virtual QList<ScaleStatus> scales() const = 0;
    virtual JournalPage journal(const JournalQuery& query) const = 0;
    // Where the server's threads read a job's status themselves; null: job() is asked.
    virtual const JobBoard* jobBoard() const { return nullptr; }
};
