#pragma once

#include "journal/Entries.h"

#include <QMap>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace journal::sql {
class Database;
} // namespace journal::sql

namespace journal {

// One open journal file: a run is recorded by beginRun before its first byte, addRow after
// each row's answer and endRun at its end. Each call is a transaction of its own: once it
// has returned, its entry survives the program's crash, so a run that breaks off keeps every
// row recorded until then. Several programs may write to one file at once: each write waits
// for the other's (up to 5 s).
//
// Every call returns an error text naming the file and the reason, empty on success:
//   journal /home/anna/.local/share/ScaleDesk/journal.sqlite: database or disk is full
// A file that is not a journal, or a journal of a newer program, is refused as it is, never
// replaced or changed.
class Journal {
public:
    // ReadWrite creates a missing file (its folder only for the default journal) and
    // brings an older journal up to date. ReadOnly is for the questions: it never creates a file,
    // and reads a copy on a medium nobody may write to as well.
    enum class Access { ReadWrite, ReadOnly };

    static std::unique_ptr<Journal> open(const QString& path, QString* error,
                                         Access access = Access::ReadWrite);
    ~Journal();

    QString path() const { return path_; }

    // Recording. The run's id is the number of its start entry. `outcome` is one of
    // runOutcomes(); `reason` is the text that said why (the last status text), may be empty.
    QString beginRun(const RunStart& run, qint64* runId);
    QString addRow(qint64 runId, const RowEntry& row);
    QString endRun(qint64 runId, const QString& outcome, const QString& reason);

    // What was sent: the rows of downloads that match `filter`, handed to `each` until it
    // returns false.
    QString sentRows(const RowFilter& filter,
                     const std::function<bool(const RowRecord&)>& each) const;
    // The scales named in the journal (by name, or by port where they have none), sorted.
    QString scales(QStringList* names) const;

    // What `scale` holds of table `kind` as far as the journal knows: per number the latest
    // of an accepted send and a read. A number whose latest row is a send the scale did not
    // accept, or a read that did not come, is unknown and left out; so is one the scale said
    // it does not hold.
    QString holds(const QString& scale, const QString& kind, QMap<int, HeldRecord>* held) const;

    // The lowest unit price PLU `number` had on `scale` (empty: on any scale) from `from` to
    // `to`: of the prices the scale accepted in the period and the one it held when the
    // period began (its last accepted before). The earliest of equal prices; nothing when the
    // journal knows of none.
    QString lowestUnitPrice(int number, const QString& scale, const QDateTime& from,
                            const QDateTime& to, std::optional<LowestPrice>* lowest) const;

    // Checks the chain of every entry; see VerifyReport. The error is for a file that cannot
    // be read at all.
    QString verify(VerifyReport* report) const;

    // Where the times and the writer's identity come from (tests set their own).
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }
    void setWriter(const WriterIdentity& writer) { writer_ = writer; }

private:
    struct Statements;
    Journal(const QString& path, std::unique_ptr<sql::Database> db);
    // open() without the file's name in front of the reason.
    static std::unique_ptr<Journal> openFile(const QString& path, Access access, QString* refusal);
    QString named(const QString& text) const; // "journal PATH: text"
    QString lastError() const;                // the database's last error, named
    // Under the write lock: the run's operation, kind and scale; a refusal when there is no
    // such run or it has ended.
    QString openRun(qint64 runId, QStringList* facts);

    QString path_;
    std::unique_ptr<sql::Database> db_;
    std::unique_ptr<Statements> statements_;
    std::function<QDateTime()> now_;
    WriterIdentity writer_;
};

// journal.sqlite in the folder of ScaleDesk's own data, the same for the window and scalectl:
// ~/.local/share/ScaleDesk on Linux, %APPDATA%\ScaleDesk on Windows.
QString defaultJournalPath();

// The 64 lowercase hex digits of the SHA-256 of `bytes`: RunStart::sourceSha256.
QByteArray sha256Hex(const QByteArray& bytes);

} // namespace journal
