#pragma once

#include "protocol/DownloadPlan.h"

#include <QString>

struct ColumnMap;

namespace cli {

// A file of the hot folder read whole and checked, every row's record built: what is to be
// sent, or why nothing is.
struct InboxPlan {
    QString command; // as --report names it: "download plu" or "download ingred"
    DownloadPlan plan;
    QString refusal;  // the file cannot be read, mapped or sent; empty otherwise
    QString readText; // the last status text of reading it ("PLU Count is 600")
};

// .plu and .ingred are the tables' own files; .xls, .xlsx and .csv are workbooks, read
// through `map` when there is one (which names the table), else as PLU workbooks in
// ScaleDesk's own layout. Every row of the file is sent.
InboxPlan planInboxFile(const QString& path, const ColumnMap* map);

} // namespace cli
