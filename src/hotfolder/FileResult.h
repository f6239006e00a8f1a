#pragma once

#include "jobs/JobReport.h"
#include "protocol/DownloadPlan.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// What became of one file of the inbox, as NAME.result.json beside it in DONE or FAILED:
// the fields of scalectl's --report, plus where the file went, when, and each row's outcome
// on each scale (docs/watch.md):
//
//   {"file": "prices.csv", "movedTo": "/srv/inbox/done/prices.csv", "outcome": "done",
//    "taken": "2025-01-14T09:30:12.000+01:00", "finished": "2025-01-14T09:31:02.000+01:00",
//    "command": "download plu", "exitStatus": 0,
//    "scales": [{"name": "Meat", ..., "exitStatus": 0,
//                "rows": [{"row": 1, "number": 101, "outcome": "sent"}, ...]}]}
//
// A file refused before its first byte has "outcome": "failed", the "reason", exit status 3
// (a file that cannot be read) and no scales.

enum class RowOutcome {
    Sent,    // the scale accepted the row
    Failed,  // the row was tried and not accepted; `text` says why
    NotSent, // the scale's transfer ended before it reached the row
};

struct RowResult {
    int row = 0;       // the row of the table, 1..count
    qint32 number = 0; // its PLU or message number
    RowOutcome outcome = RowOutcome::NotSent;
    QString text; // the status text of a failed row; empty otherwise
};

// Each row of a download's plan as one scale's job ended it: rows up to the job's last
// accepted one were sent; a job that gave up failed on the next row, with its last text;
// every other row was not sent.
QList<RowResult> downloadRowResults(const DownloadPlan& plan, const JobResult& result);

struct ScaleFileResult {
    ScaleReportEntry report;
    QList<RowResult> rows; // in the order they were to be sent
};

struct FileResult {
    QString command; // as --report names it: "download plu"
    QString refusal; // why nothing was sent ("Cannot import ..."); empty when it was sent
    QList<ScaleFileResult> scales;

    // A file that was not sent because it cannot be read or checked.
    static FileResult refused(const QString& reason);

    // DONE when the file was sent and every scale succeeded, FAILED otherwise.
    bool succeeded() const;
};

// Where and when the file went, for the JSON.
struct FileJourney {
    QString name;    // as it arrived in the inbox
    QString movedTo; // its path in DONE or FAILED (where it would have gone, if it could not)
    QDateTime taken;
    QDateTime finished;
};

QByteArray fileResultJson(const FileResult& result, const FileJourney& journey);
