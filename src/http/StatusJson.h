#pragma once

#include "http/SendService.h"

#include <QJsonObject>

// The JSON of the answers that tell what the program knows, as docs/openapi.json describes it.

// {"id", "table", "state", "exitStatus", "scales": [the --report fields of each scale]}.
// The job's state: "running" while a scale's job has not ended, then "done" when every
// scale succeeded, "cancelled" when one was cancelled, else "failed".
QJsonObject jobJson(const JobStatus& job);

// {"scales": [{"name", "port", "answers", "lastSend", "lastError"}]}, null for what is unknown.
QJsonObject scalesJson(const QList<ScaleStatus>& scales);

// {"entries": [{"time", "scale", "table", "number", "accepted", "retries", "record"}], "more"}.
QJsonObject journalJson(const JournalPage& page);
