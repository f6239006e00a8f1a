#pragma once

#include "jobs/CheckedDownload.h"
#include "protocol/DownloadPlan.h"
#include "tables/Table.h"

#include <optional>

class frmMain;

// What "Send PLU" and "Send INGRED" on tab "Scales" send: the rows the "Download" tab's
// options select, planned after the table's unsaved edits were settled as a download settles
// them. Nothing when the operator stopped it or the plan was refused (its text is shown).
std::optional<DownloadPlan> planFromDownloadTab(frmMain& window, PluTable& table);
std::optional<DownloadPlan> planFromDownloadTab(frmMain& window, IngredTable& table);

// The checks "Send PLU" makes on every scale: those the "Download" tab's "Verify" and "Back up
// the scale first" (with "ALL PLU") ask for. Each scale's backup file is named after it.
DownloadChecks pluChecksFromDownloadTab(const frmMain& window);
