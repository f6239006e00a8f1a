#include "journal/Sqlite.h"

#include <QUrl>

#include <sqlite3.h>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#endif

namespace journal::sql {

namespace {
// The time a writer waits for another one (the window and scalectl writing at once) before
// it gives up with "database is locked". Each write holds the lock for well under a
// millisecond, so the wait is only ever long when something is wrong.
constexpr int kBusyTimeoutMs = 5000;
} // namespace

std::unique_ptr<Database> Database::open(const QString& path, Access access, QString* reason) {
    int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    QByteArray name = path.toUtf8();
    switch (access) {
    case Access::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    case Access::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Access::Immutable:
        // A copy on a medium nobody writes to: SQLite then needs no lock files beside it.
        flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        name = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).toUtf8() + "?immutable=1";
        break;
    }
    sqlite3* db = nullptr;
    const int result = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (result != SQLITE_OK) {
        *reason = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(result));
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return std::unique_ptr<Database>(new Database(db));
}

Database::~Database() {
    sqlite3_close(db_); // the statements are finalized first: they belong to the journal
}

QString Database::lastError() const {
    // SQLite says "disk I/O error" for any failure of the system underneath, a full disk
    // while it grows its lock file among them: the system's own reason says which.
    const int code = sqlite3_extended_errcode(db_);
    const int systemError = sqlite3_system_errno(db_);
    if ((code & 0xFF) == SQLITE_IOERR && systemError != 0) {
#ifdef Q_OS_WIN
        const bool full = systemError == ERROR_DISK_FULL || systemError == ERROR_HANDLE_DISK_FULL;
#else
        const bool full = systemError == ENOSPC;
#endif
        if (full)
            return QString::fromUtf8(sqlite3_errstr(SQLITE_FULL)); // "database or disk is full"
        return QString::fromUtf8(sqlite3_errmsg(db_)) + QStringLiteral(": ") +
               qt_error_string(systemError);
    }
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

bool Database::readOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

int Database::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

int Database::switchToWal() {
    int result = SQLITE_BUSY;
    for (int attempt = 0; attempt < 3 && result == SQLITE_BUSY; ++attempt) {
        result = exec("PRAGMA journal_mode = WAL");
        // A read waits, through the busy time-out, until the other program's switch has
        // ended; then the file is in WAL mode and asking for it again changes nothing.
        if (result == SQLITE_BUSY)
            exec("SELECT count(*) FROM sqlite_schema");
    }
    return result;
}

Statement::Statement(const Database& db, const char* sql)
    : prepared_(
          sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr)) {}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::bind(int index, qint64 value) {
    sqlite3_bind_int64(stmt_, index, value);
}

void Statement::bind(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int index, const QByteArray& value) {
    // A zero-length blob, not NULL: an empty record is a fact ("the scale does not hold it").
    sqlite3_bind_blob(stmt_, index, value.constData() ? value.constData() : "", int(value.size()),
                      SQLITE_TRANSIENT);
}

void Statement::bind(int index, const Value& value) {
    std::visit([this, index](const auto& v) { bind(index, v); }, value);
}

int Statement::step() {
    return stmt_ ? sqlite3_step(stmt_) : prepared_;
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

QString Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt_, column));
}

QByteArray Statement::blob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return QByteArray(bytes, sqlite3_column_bytes(stmt_, column));
}

WriteTransaction::WriteTransaction(Database& db) : db_(db), begun_(db.exec("BEGIN IMMEDIATE")) {
    open_ = begun_ == SQLITE_OK;
}

WriteTransaction::~WriteTransaction() {
    if (open_)
        db_.exec("ROLLBACK");
}

int WriteTransaction::commit() {
    const int result = db_.exec("COMMIT");
    // A COMMIT that fails on a full disk leaves the transaction open; the destructor rolls
    // it back, so nothing of it stays half-written.
    if (result == SQLITE_OK)
        open_ = false;
    return result;
}

Value Statement::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return integer(column);
    case SQLITE_BLOB:
        return blob(column);
    default:
        return text(column);
    }
}

} // namespace journal::sql
