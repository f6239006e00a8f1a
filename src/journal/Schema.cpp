#include "journal/Schema.h"

#include <sqlite3.h>

#include <iterator>

namespace journal::schema {

namespace {

// Each step brings the tables from version i to i + 1. Entries are numbered across the three
// entry tables (seq); a run is known by the number of its start entry. rows repeats its
// run's operation, kind and scale, so that the questions find a scale's rows by one index;
// verify checks the copies against the run.
const char* const kSteps[] = {
    R"sql(
    CREATE TABLE runs (
        seq INTEGER PRIMARY KEY,
        started TEXT NOT NULL,
        operation TEXT NOT NULL,
        kind TEXT NOT NULL,
        scale TEXT NOT NULL,
        port TEXT NOT NULL,
        selection TEXT NOT NULL,
        source_path TEXT NOT NULL,
        source_sha256 TEXT NOT NULL,
        os_user TEXT NOT NULL,
        host TEXT NOT NULL,
        program TEXT NOT NULL,
        version TEXT NOT NULL,
        hash BLOB NOT NULL
    ) STRICT;
    CREATE TABLE rows (
        seq INTEGER PRIMARY KEY,
        run INTEGER NOT NULL,
        at TEXT NOT NULL,
        number INTEGER NOT NULL,
        record BLOB NOT NULL,
        fields TEXT NOT NULL,
        accepted INTEGER NOT NULL,
        retries INTEGER NOT NULL,
        operation TEXT NOT NULL,
        kind TEXT NOT NULL,
        scale TEXT NOT NULL,
        hash BLOB NOT NULL
    ) STRICT;
    CREATE TABLE run_ends (
        seq INTEGER PRIMARY KEY,
        run INTEGER NOT NULL UNIQUE,
        ended TEXT NOT NULL,
        outcome TEXT NOT NULL,
        reason TEXT NOT NULL,
        hash BLOB NOT NULL
    ) STRICT;
    CREATE TABLE chain_head (
        one INTEGER PRIMARY KEY CHECK (one = 1),
        seq INTEGER NOT NULL,
        hash BLOB NOT NULL
    ) STRICT;
    INSERT INTO chain_head VALUES (1, 0, zeroblob(32));
    CREATE INDEX rows_by_scale ON rows (scale, kind, number, seq);
    CREATE INDEX rows_by_time ON rows (at);
    CREATE INDEX runs_by_scale ON runs (scale);
    )sql",
    // The lowest price of a PLU in a period: its unit price as a column, found by PLU and time.
    // Computed from the recorded fields, so it cannot disagree with them.
    R"sql(
    ALTER TABLE rows ADD COLUMN unit_price INTEGER GENERATED ALWAYS AS (
        CASE WHEN kind = 'PLU' THEN CAST(json_extract(fields, '$.UnitPrice') AS INTEGER) END
    ) VIRTUAL;
    CREATE INDEX rows_by_plu ON rows (kind, number, at);
    )sql",
};
static_assert(std::size(kSteps) == kVersion);

} // namespace

int versionOf(sql::Database& db, QString* problem) {
    // One statement, so that the three are read from one state of the file even while
    // another program creates the journal.
    sql::Statement read(db, "SELECT (SELECT application_id FROM pragma_application_id), "
                            "(SELECT user_version FROM pragma_user_version), "
                            "(SELECT count(*) FROM sqlite_schema)");
    if (read.step() != SQLITE_ROW) { // "file is not a database", ...
        *problem = db.lastError();
        return -1;
    }
    const qint64 applicationId = read.integer(0);
    const qint64 version = read.integer(1);
    const qint64 tables = read.integer(2);
    if (applicationId == 0 && tables == 0)
        return 0;
    if (applicationId != kApplicationId || version < 1) {
        *problem = QStringLiteral("it is not a ScaleDesk journal but another program's database");
        return -1;
    }
    if (version > kVersion) {
        *problem = QStringLiteral("it was written by a newer ScaleDesk (journal version %1; "
                                  "this one reads up to version %2): update ScaleDesk to use it")
                       .arg(version)
                       .arg(kVersion);
        return -1;
    }
    return int(version);
}

QString upgrade(sql::Database& db) {
    sql::WriteTransaction transaction(db);
    if (transaction.beginResult() != SQLITE_OK)
        return db.lastError();
    // Read again under the write lock: another program may have upgraded it meanwhile.
    QString problem;
    const int version = versionOf(db, &problem);
    if (version < 0)
        return problem;
    if (version == kVersion)
        return QString();
    for (int step = version; step < kVersion; ++step)
        if (db.exec(kSteps[step]) != SQLITE_OK)
            return db.lastError();
    const QByteArray stamp = QStringLiteral("PRAGMA application_id = %1; PRAGMA user_version = %2")
                                 .arg(kApplicationId)
                                 .arg(kVersion)
                                 .toUtf8();
    if (db.exec(stamp.constData()) != SQLITE_OK || transaction.commit() != SQLITE_OK)
        return db.lastError();
    return QString();
}

} // namespace journal::schema
