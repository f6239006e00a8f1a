#pragma once

#include "jobs/ScaleJob.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What `scalectl --report FILE.json` writes after a command over several scales: the
// command, and per scale its name, port, end state, rows sent of rows selected, retries, the
// last status text and its exit status (0 done, 1 anything else). The whole run's exit status
// is 0 only when every scale's is.
//
//   {"command": "download plu", "file": "prices.plu", "exitStatus": 1,
//    "scales": [{"name": "Meat", "port": "COM1", "state": "done", "succeeded": true,
//                "rowsSent": 600, "rowsTotal": 600, "retries": 1,
//                "finalText": " THE END ", "exitStatus": 0}, ...]}
struct ScaleReportEntry {
    ScaleEntry scale;
    JobOutcome outcome;
};

int exitStatusOf(const QList<ScaleReportEntry>& scales); // 0 when every scale succeeded, else 1

QByteArray jobReportJson(const QString& command, const QString& file,
                         const QList<ScaleReportEntry>& scales);
