#pragma once

#include "protocol/DownloadPlan.h"
#include "tables/Table.h"

#include <optional>

class frmMain;

// What "Send PLU" and "Send INGRED" on tab "Scales" send: the rows the "Download" tab's
// options select, planned after the table's unsaved edits were settled as a download settles
// them. Nothing when the operator stopped it or the plan was refused (its text is shown).
std::optional<DownloadPlan> planFromDownloadTab(frmMain& window, PluTable& table);
std::optional<DownloadPlan> planFromDownloadTab(frmMain& window, IngredTable& table);
