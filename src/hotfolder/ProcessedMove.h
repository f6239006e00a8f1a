#pragma once

#include <QDateTime>
#include <QString>

// Where a processed file goes in DONE or FAILED: under its own name, or, when that name or
// its result file (NAME.result.json) is there already, with a time stamp before the
// extension: "prices.csv" becomes "prices.20250114-093012.csv", then
// "prices.20250114-093012-2.csv" if a second one came within the same second. Nothing in
// the folder is ever overwritten. Empty when no free name is found.
QString freeName(const QString& folder, const QString& name, const QDateTime& stamp);

// Moves `from` to `to`, which must not exist: a rename within one file system, else a copy
// that replaces nothing and a removal of `from`. Returns why it failed ("No such file or
// directory"), or an empty text; a failed move leaves `from` where it was.
QString moveFile(const QString& from, const QString& to);
