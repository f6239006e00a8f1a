#include "journal/Journal.h"

#include "journal/Chain.h"
#include "journal/EntryLayout.h"
#include "journal/FieldsJson.h"
#include "journal/JournalTime.h"
#include "journal/Schema.h"
#include "journal/Sqlite.h"
#include "journal/WriterIdentity.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sqlite3.h>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace journal {

namespace {

const QStringList kOperations{QStringLiteral("download"), QStringLiteral("upload"),
                              QStringLiteral("compare"), QStringLiteral("verify"),
                              QStringLiteral("display")};

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QByteArray insertSql(const EntryLayout& layout) {
    const QStringList columns =
        QStringList{QStringLiteral("seq")} + layout.facts + layout.copies + QStringList{"hash"};
    QStringList parameters;
    for (qsizetype i = 1; i <= columns.size(); ++i)
        parameters.append(QStringLiteral("?%1").arg(i));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(QLatin1String(layout.table), columns.join(u','), parameters.join(u','))
        .toUtf8();
}

QString runProblem(const RunStart& run) {
    if (!kOperations.contains(run.operation))
        return QStringLiteral("\"%1\" is not an operation the journal records (%2)")
            .arg(run.operation, kOperations.join(QStringLiteral(", ")));
    if (!tableKindNamed(run.kind))
        return QStringLiteral("\"%1\" is not a table kind").arg(run.kind);
    if (run.scaleName.isEmpty() && run.port.isEmpty())
        return QStringLiteral("a run needs the scale's name or its port");
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    if (!run.sourceSha256.isEmpty() && !hex.match(QString::fromLatin1(run.sourceSha256)).hasMatch())
        return QStringLiteral("the source's SHA-256 must be 64 lowercase hex digits");
    return QString();
}

QString rowProblem(const RowEntry& row, const TableKind& kind) {
    if (row.number < 1)
        return QStringLiteral("%1 number %2 is not a row number").arg(kind.name).arg(row.number);
    if (row.retries < 0)
        return QStringLiteral("a row cannot have %1 retries").arg(row.retries);
    if (row.fields.isEmpty()) {
        return row.record.isEmpty() ? QString()
                                    : QStringLiteral("%1 %2: a record needs its fields")
                                          .arg(kind.name)
                                          .arg(row.number);
    }
    if (const QString problem = fieldsProblem(kind, row.fields); !problem.isEmpty())
        return QStringLiteral("%1 %2: %3").arg(kind.name).arg(row.number).arg(problem);
    for (int f = 0; f < kind.fields.size(); ++f) {
        bool number = false;
        row.fields[f].second.toLongLong(&number);
        if (kind.fields[f].kind != FieldKind::Text && !number)
            return QStringLiteral("%1 %2: %3 \"%4\" is not a number")
                .arg(kind.name)
                .arg(row.number)
                .arg(kind.fields[f].name, row.fields[f].second);
    }
    return QString();
}

// Gives the file `from` the name `to` unless a file of that name exists; in one step, so of
// two programs doing so at once exactly one succeeds. Empty also when `to` existed already.
// (QFile::rename looks before it renames, and on file systems without an atomic "rename
// unless it exists" two programs could both replace the name.)
QString placeIfAbsent(const QString& from, const QString& to) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()), 0) ||
        GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS)
        return QString();
    return qt_error_string(int(GetLastError()));
#else
    // A second name for the file, which fails when the name is taken; the first goes after.
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ||
        errno == EEXIST)
        return QString();
    // A file system without links (a FAT stick, some shares): a rename after a look.
    if ((errno == EPERM || errno == EOPNOTSUPP) &&
        (QFile::rename(from, to) || QFileInfo::exists(to)))
        return QString();
    return qt_error_string(errno);
#endif
}

// Makes a new journal whole under a name of its own, then puts it in place in one step that
// fails when the file is there already: a program opening it at the same moment finds no
// file or a whole journal in WAL mode, never one still being switched to it (SQLite refuses
// two connections switching at once straight away, without waiting).
QString createJournal(const QString& path) {
    const QString draft = path + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    QFile::remove(draft); // left by a program of this number that ended while making one
    QString problem;
    {
        std::unique_ptr<sql::Database> db =
            sql::Database::open(draft, sql::Database::Access::ReadWrite, &problem);
        if (db && db->switchToWal() != SQLITE_OK)
            problem = db->lastError();
        if (db && problem.isEmpty())
            problem = schema::upgrade(*db);
    } // closed: its write-ahead log is folded into the file and removed
    if (problem.isEmpty())
        problem = placeIfAbsent(draft, path);
    QFile::remove(draft); // the name it was made under, or a draft that lost the race
    return problem;
}

} // namespace

// The write path's statements, prepared once: a row costs four steps and a commit.
struct Journal::Statements {
    explicit Statements(const sql::Database& db)
        : head(db, "SELECT seq, hash FROM chain_head"),
          moveHead(db, "UPDATE chain_head SET seq = ?1, hash = ?2"),
          run(db, "SELECT u.operation, u.kind, u.scale, e.seq FROM runs u "
                  "LEFT JOIN run_ends e ON e.run = u.seq WHERE u.seq = ?1"),
          insertRun(db, insertSql(runEntry()).constData()),
          insertRow(db, insertSql(rowEntry()).constData()),
          insertEnd(db, insertSql(endEntry()).constData()) {}

    // Inside a write transaction: writes the entry after the chain's head and moves the head
    // to it. SQLITE_DONE, or the error.
    int append(sql::Statement& insert, const char* type, const QList<sql::Value>& facts,
               const QList<sql::Value>& copies, qint64* seq) {
        head.reset();
        if (const int result = head.step(); result != SQLITE_ROW)
            return result;
        *seq = head.integer(0) + 1;
        const QByteArray hash = chain::entryHash(
            head.blob(1), QList<sql::Value>{QString::fromLatin1(type), *seq} + facts);
        head.reset();

        insert.reset();
        int parameter = 1;
        insert.bind(parameter++, *seq);
        for (const sql::Value& value : facts + copies)
            insert.bind(parameter++, value);
        insert.bind(parameter, hash);
        if (const int result = insert.step(); result != SQLITE_DONE)
            return result;
        moveHead.reset();
        moveHead.bind(1, *seq);
        moveHead.bind(2, hash);
        return moveHead.step();
    }

    sql::Statement head;
    sql::Statement moveHead;
    sql::Statement run;
    sql::Statement insertRun;
    sql::Statement insertRow;
    sql::Statement insertEnd;
};

std::unique_ptr<Journal> Journal::open(const QString& path, QString* error, Access access) {
    QString reason;
    std::unique_ptr<Journal> journal = openFile(path, access, &reason);
    if (!journal)
        *error = QStringLiteral("journal %1: %2").arg(nativePath(path), reason);
    return journal;
}

std::unique_ptr<Journal> Journal::openFile(const QString& path, Access access, QString* refusal) {
    const auto refuse = [refusal](const QString& reason) {
        *refusal = reason;
        return nullptr;
    };
    const QFileInfo file(path);
    if (path.isEmpty())
        return refuse(QStringLiteral("no file named"));
    if (file.exists() && !file.isFile())
        return refuse(QStringLiteral("it is not a file"));
    if (!file.exists() && access == Access::ReadOnly)
        return refuse(QStringLiteral("no such file (nothing has been recorded there yet)"));
    // The default journal's folder is made when first needed. Any other folder must exist: a
    // share that is not mounted must not quietly become a folder on the local disk.
    if (!file.exists() && access == Access::ReadWrite && path == defaultJournalPath())
        QDir().mkpath(file.absolutePath());
    if (!file.exists() && !file.dir().exists())
        return refuse(
            QStringLiteral("the folder %1 does not exist").arg(nativePath(file.absolutePath())));
    if (!file.exists()) {
        if (const QString problem = createJournal(path); !problem.isEmpty())
            return refuse(problem);
    }

    QString reason;
    std::unique_ptr<sql::Database> db =
        sql::Database::open(path,
                            access == Access::ReadWrite ? sql::Database::Access::ReadWrite
                                                        : sql::Database::Access::ReadOnly,
                            &reason);
    int version = db ? schema::versionOf(*db, &reason) : -1;
    if (version < 0 && access == Access::ReadOnly && !QFileInfo(file.absolutePath()).isWritable()) {
        // A copy in a folder nobody may write to: nothing can change it while it is read.
        QString immutableReason;
        db = sql::Database::open(path, sql::Database::Access::Immutable, &immutableReason);
        version = db ? schema::versionOf(*db, &immutableReason) : -1;
    }
    const QString readOnlyText =
        QStringLiteral("the file is read-only, so nothing can be recorded");
    // Without its -shm file and no right to make one, a read-only journal cannot even be read.
    if (version < 0 && access == Access::ReadWrite && !QFileInfo(path).isWritable())
        return refuse(readOnlyText);
    if (version < 0)
        return refuse(reason);

    if (access == Access::ReadOnly && version < schema::kVersion) {
        // The questions need the current tables: an older journal is brought up to date by a
        // connection that may write, when one can be had.
        QString upgradeError;
        if (version == 0 || !openFile(path, Access::ReadWrite, &upgradeError))
            return refuse(version == 0 ? QStringLiteral("it holds no journal yet")
                                       : QStringLiteral("it is a journal of version %1, which "
                                                        "must be brought up to date first: %2")
                                             .arg(version)
                                             .arg(upgradeError));
    }
    if (access == Access::ReadWrite) {
        if (db->readOnly())
            return refuse(readOnlyText);
        // WAL: readers never wait for a writer. NORMAL: a committed entry survives the
        // program's crash; the disk is synced at each checkpoint, not at each row (a sync
        // per row costs 5 ms on a virtual disk, more than a row may cost).
        if (db->switchToWal() != SQLITE_OK || db->exec("PRAGMA synchronous = NORMAL") != SQLITE_OK)
            return refuse(db->lastError());
        if (version < schema::kVersion) {
            if (const QString problem = schema::upgrade(*db); !problem.isEmpty())
                return refuse(problem);
        }
    }
    return std::unique_ptr<Journal>(new Journal(path, std::move(db)));
}

Journal::Journal(const QString& path, std::unique_ptr<sql::Database> db)
    : path_(path), db_(std::move(db)), statements_(std::make_unique<Statements>(*db_)),
      now_([] { return QDateTime::currentDateTimeUtc(); }), writer_(currentWriter()) {}

Journal::~Journal() {
    statements_.reset(); // before the connection they belong to
}

QString Journal::named(const QString& reason) const {
    return QStringLiteral("journal %1: %2").arg(nativePath(path_), reason);
}

QString Journal::lastError() const {
    return named(db_->lastError());
}

QString Journal::beginRun(const RunStart& run, qint64* runId) {
    if (const QString problem = runProblem(run); !problem.isEmpty())
        return named(problem);
    const QString scale = run.scaleName.isEmpty() ? run.port : run.scaleName;
    const QList<sql::Value> facts{
        utcText(now_()), run.operation, run.kind,        scale,
        run.port,        run.selection, run.sourcePath,  QString::fromLatin1(run.sourceSha256),
        writer_.osUser,  writer_.host,  writer_.program, writer_.version};
    sql::WriteTransaction transaction(*db_);
    if (transaction.beginResult() != SQLITE_OK ||
        statements_->append(statements_->insertRun, runEntry().type, facts, {}, runId) !=
            SQLITE_DONE ||
        transaction.commit() != SQLITE_OK)
        return lastError();
    return QString();
}

QString Journal::openRun(qint64 runId, QStringList* facts) {
    sql::Statement& run = statements_->run;
    run.reset();
    run.bind(1, runId);
    const int result = run.step();
    if (result == SQLITE_DONE)
        return named(QStringLiteral("there is no run %1").arg(runId));
    if (result != SQLITE_ROW)
        return lastError();
    if (!run.isNull(3))
        return named(QStringLiteral("run %1 has ended").arg(runId));
    *facts = {run.text(0), run.text(1), run.text(2)};
    run.reset();
    return QString();
}

QString Journal::addRow(qint64 runId, const RowEntry& row) {
    sql::WriteTransaction transaction(*db_);
    if (transaction.beginResult() != SQLITE_OK)
        return lastError();
    QStringList run; // operation, kind, scale
    if (const QString refusal = openRun(runId, &run); !refusal.isEmpty())
        return refusal;
    const TableKind* kind = tableKindNamed(run[1]);
    if (!kind) // only a change behind the program's back makes it so
        return named(QStringLiteral("run %1 is of the table \"%2\", which this program does "
                                    "not know")
                         .arg(runId)
                         .arg(run[1]));
    if (const QString problem = rowProblem(row, *kind); !problem.isEmpty())
        return named(problem);
    const QList<sql::Value> facts{runId,
                                  utcText(now_()),
                                  qint64(row.number),
                                  row.record,
                                  fieldsJson(row.fields),
                                  qint64(row.accepted),
                                  qint64(row.retries)};
    qint64 seq = 0;
    if (statements_->append(statements_->insertRow, rowEntry().type, facts,
                            {run[0], run[1], run[2]}, &seq) != SQLITE_DONE ||
        transaction.commit() != SQLITE_OK)
        return lastError();
    return QString();
}

QString Journal::endRun(qint64 runId, const QString& outcome, const QString& reason) {
    if (!runOutcomes().contains(outcome))
        return named(QStringLiteral("\"%1\" is not an outcome of a run (%2)")
                         .arg(outcome, runOutcomes().join(QStringLiteral(", "))));
    sql::WriteTransaction transaction(*db_);
    if (transaction.beginResult() != SQLITE_OK)
        return lastError();
    QStringList run;
    if (const QString refusal = openRun(runId, &run); !refusal.isEmpty())
        return refusal;
    qint64 seq = 0;
    if (statements_->append(statements_->insertEnd, endEntry().type,
                            {runId, utcText(now_()), outcome, reason}, {}, &seq) != SQLITE_DONE ||
        transaction.commit() != SQLITE_OK)
        return lastError();
    return QString();
}

QString defaultJournalPath() {
    // The window's folder, whichever program asks: scalectl's own would be named after it.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QFileInfo(own).dir().filePath(QStringLiteral("ScaleDesk/journal.sqlite"));
}

QByteArray sha256Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace journal
