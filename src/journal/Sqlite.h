#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <variant>

struct sqlite3;
struct sqlite3_stmt;

// A thin layer over SQLite's C library: a connection, a prepared statement and a write
// transaction that cleans up after itself. Errors come back as SQLite's result codes; the
// connection's text for the last one is lastError().
namespace journal::sql {

// A value as SQLite stores it (the journal has no NULLs): INTEGER, TEXT or BLOB.
using Value = std::variant<qint64, QString, QByteArray>;

class Database {
public:
    enum class Access { ReadWrite, ReadOnly, Immutable };

    // Opens (ReadWrite: creating) the file at `path`. Null with `reason` set when SQLite
    // cannot even start on it.
    static std::unique_ptr<Database> open(const QString& path, Access access, QString* reason);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle() const { return db_; }
    QString lastError() const;
    bool readOnly() const;

    // Runs statements that return no rows; SQLITE_OK or the first error.
    int exec(const char* sql);

    // Puts the file into write-ahead-log mode (it stays so), also while another program does
    // the same: SQLite answers that switch at once with "database is locked" instead of
    // waiting. SQLITE_OK or the error.
    int switchToWal();

private:
    explicit Database(sqlite3* db) : db_(db) {}
    sqlite3* db_;
};

class Statement {
public:
    Statement(const Database& db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in SQL's "?1".
    void bind(int index, qint64 value);
    void bind(int index, const QString& value);
    void bind(int index, const QByteArray& value); // as a blob
    void bind(int index, const Value& value);

    int step();   // SQLITE_ROW, SQLITE_DONE or an error
    void reset(); // for the next run: the steps undone, the parameters cleared

    // Columns of the current row count from 0.
    bool isNull(int column) const;
    qint64 integer(int column) const;
    QString text(int column) const;
    QByteArray blob(int column) const;
    Value value(int column) const; // as its storage class; a NULL reads as an empty text

private:
    sqlite3_stmt* stmt_ = nullptr;
    int prepared_;
};

// BEGIN IMMEDIATE: the write lock is taken at once (waiting up to the busy time-out for
// another writer), so the reads inside see what the writes build on. Rolled back unless
// commit() succeeded.
class WriteTransaction {
public:
    explicit WriteTransaction(Database& db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    int beginResult() const { return begun_; }
    int commit();

private:
    Database& db_;
    int begun_;
    bool open_ = false;
};

} // namespace journal::sql
