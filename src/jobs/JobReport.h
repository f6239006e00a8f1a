#pragma once

#include "jobs/JobResult.h"
#include "jobs/ScaleEntry.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// What `scalectl --report FILE.json` writes after a command over several scales: the
// command, and per scale its name, port, end state, outcome and its reason, rows sent of rows
// selected, retries, the last status text and its exit status (0 done, 1 anything else). The
// whole run's exit status is 0 only when every scale's is.
//
//   {"command": "download plu", "file": "prices.plu", "exitStatus": 1,
//    "scales": [{"name": "Meat", "port": "COM1", "state": "done", "outcome": "done",
//                "reason": "", "succeeded": true, "rowsSent": 600, "rowsTotal": 600,
//                "retries": 1, "finalText": " THE END ", "exitStatus": 0}, ...]}
struct ScaleReportEntry {
    ScaleEntry scale;
    JobResult result;
};

int exitStatusOf(const QList<ScaleReportEntry>& scales); // 0 when every scale succeeded, else 1

// One scale's entry of the report.
QJsonObject scaleReportJson(const ScaleReportEntry& entry);

QByteArray jobReportJson(const QString& command, const QString& file,
                         const QList<ScaleReportEntry>& scales);
