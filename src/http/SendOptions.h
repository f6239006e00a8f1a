#pragma once

#include "http/ApiAnswer.h"
#include "protocol/DownloadPlan.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// What a send request asks besides its rows: to which scales (none named: all), which rows
// ("all", "N" or "FIRST-LAST", rows counted from 1 as scalectl's --one and --range count
// them) and whether only what changed.
struct SendOptions {
    QStringList scales;
    DownloadSelection selection;
    bool changed = false;
};

// From a JSON body's members "scales" (array of names), "selection" and "changed"; any other
// member but "rows" is refused.
std::optional<RequestProblem> optionsFromJson(const QJsonObject& body, SendOptions& options);

// From the query of a table-form body: scales=NAME (repeated), selection=..., changed=true.
using QueryItems = QList<std::pair<QString, QString>>;
std::optional<RequestProblem> optionsFromQuery(const QueryItems& query, SendOptions& options);

// Whether the selection picks at least one of rows 1..rowCount.
std::optional<RequestProblem> checkSelection(const DownloadSelection& selection, int rowCount);
