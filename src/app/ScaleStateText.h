#pragma once

#include <QString>

class ScaleJob;

// What a scale's row on tab "Scales" says about its job in column "State": "waiting",
// "sending row 3 of 40", "retrying (Retry #1)", "done: ...", "failed: ...", "cancelled".
// `retry` is the last retry the job announced.
QString scaleStateText(const ScaleJob& job, int retry);
