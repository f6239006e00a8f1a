#pragma once

#include "journal/Sqlite.h"

#include <QString>

// The journal's tables and their version. A file is a journal when its SQLite application id
// is kApplicationId; its user_version is the version of its tables. This program writes
// kVersion, brings an older journal up to it and refuses a newer one, which an older program
// would misread.
namespace journal::schema {

constexpr int kVersion = 2;
constexpr qint32 kApplicationId = 0x53444A4E; // "SDJN"

// The version of the journal in `db`: 0 for an empty file, which becomes a journal. Sets
// `problem` (and returns -1) when the file is another program's database, a journal newer
// than this program, or no database at all.
int versionOf(sql::Database& db, QString* problem);

// Brings the journal to kVersion inside one write transaction, so a failure leaves it as it
// was and two programs upgrading at once do it once. Returns the problem, or empty.
QString upgrade(sql::Database& db);

} // namespace journal::schema
