#pragma once

#include "journal/Entries.h"

#include <QJsonObject>
#include <QStringList>

// "What was sent" as people read it: the columns of the window's list and of its .csv file,
// a line of text, a JSON object. One row per line, the record's fields in columns of their
// own (the fields of every table kind, each name once).
namespace journal {

QStringList sentRowHeaders();
QStringList sentRowCells(const RowRecord& row);

// 2024-05-01T09:00:03.000Z Deli PLU 2 not accepted, 3 retries: ItemCode 1002,
// ItemName1 "Pear", ... (run 1 by anna on till-3: gave up)
// where the run is known by the number of its first entry.
QString sentRowLine(const RowRecord& row);

QJsonObject sentRowJson(const RowRecord& row);

} // namespace journal
