// verify: every entry's hash against its facts and the entry before, in the order written.

#include "journal/Chain.h"
#include "journal/EntryLayout.h"
#include "journal/Journal.h"
#include "journal/Sqlite.h"

#include <sqlite3.h>

#include <array>

namespace journal {

namespace {

// One entry as its table holds it.
struct StoredEntry {
    const EntryLayout* layout = nullptr;
    qint64 seq = 0;
    QList<sql::Value> facts;
    QByteArray hash;
    bool copiesAgree = true; // a row's copies of its run's facts
};

// One entry table read in the order of its numbers.
class EntryCursor {
public:
    EntryCursor(const sql::Database& db, const EntryLayout& layout)
        : layout_(layout), statement_(db, selectSql(layout).constData()) {}

    // The next entry; false at the end, with `result` SQLITE_DONE or the error.
    bool next(int* result) {
        *result = statement_.step();
        has_ = *result == SQLITE_ROW;
        if (!has_)
            return false;
        entry_ = {&layout_, statement_.integer(0), {}, {}, true};
        const int facts = int(layout_.facts.size());
        for (int c = 1; c <= facts; ++c)
            entry_.facts.append(statement_.value(c));
        entry_.hash = statement_.blob(facts + 1);
        entry_.copiesAgree = statement_.integer(facts + 2) != 0;
        return true;
    }
    bool has() const { return has_; }
    const StoredEntry& entry() const { return entry_; }

private:
    static QByteArray selectSql(const EntryLayout& layout) {
        // The copies agree with the run's own facts (a row whose run is gone does not).
        QString agree = QStringLiteral("1");
        if (!layout.copies.isEmpty()) {
            QStringList same;
            for (const QString& column : layout.copies)
                same.append(QStringLiteral("t.%1 = u.%1").arg(column));
            agree = QStringLiteral("IFNULL((SELECT %1 FROM runs u WHERE u.seq = t.run), 0)")
                        .arg(same.join(QStringLiteral(" AND ")));
        }
        return QStringLiteral("SELECT seq, %1, hash, %2 FROM %3 t ORDER BY seq")
            .arg(layout.facts.join(u','), agree, QLatin1String(layout.table))
            .toUtf8();
    }

    const EntryLayout& layout_;
    sql::Statement statement_;
    StoredEntry entry_;
    bool has_ = false;
};

QByteArray expectedHash(const QByteArray& previous, const StoredEntry& entry) {
    return chain::entryHash(previous,
                            QList<sql::Value>{QString::fromLatin1(entry.layout->type), entry.seq} +
                                entry.facts);
}

QString factText(const StoredEntry& entry, const char* column) {
    const qsizetype index = entry.layout->facts.indexOf(QLatin1String(column));
    const sql::Value& value = entry.facts.value(index);
    if (const auto* number = std::get_if<qint64>(&value))
        return QString::number(*number);
    if (const auto* text = std::get_if<QString>(&value))
        return *text;
    return QString();
}

// "17 (a row: PLU 5 of run 12)"
QString described(const StoredEntry& entry) {
    const QString type = QLatin1String(entry.layout->type);
    QString what;
    if (type == QLatin1String("run"))
        what = QStringLiteral("the start of a %1 of %2 with %3")
                   .arg(factText(entry, "operation"), factText(entry, "kind"),
                        factText(entry, "scale"));
    else if (type == QLatin1String("row"))
        what = QStringLiteral("row %1 of run %2")
                   .arg(factText(entry, "number"), factText(entry, "run"));
    else
        what = QStringLiteral("the end of run %1").arg(factText(entry, "run"));
    return QStringLiteral("%1 (%2)").arg(entry.seq).arg(what);
}

} // namespace

QString Journal::verify(VerifyReport* report) const {
    *report = {};
    sql::Statement head(*db_, "SELECT seq, hash FROM chain_head");
    if (head.step() != SQLITE_ROW)
        return lastError();
    const qint64 headSeq = head.integer(0);
    const QByteArray headHash = head.blob(1);

    std::array<std::unique_ptr<EntryCursor>, 3> cursors{
        std::make_unique<EntryCursor>(*db_, runEntry()),
        std::make_unique<EntryCursor>(*db_, rowEntry()),
        std::make_unique<EntryCursor>(*db_, endEntry())};
    int result = SQLITE_OK;
    for (auto& cursor : cursors)
        if (!cursor->next(&result) && result != SQLITE_DONE)
            return lastError();

    const auto bad = [&](qint64 seq, const QString& what) {
        report->firstBad = seq;
        report->text = named(QStringLiteral("entry %1").arg(what));
        return QString();
    };
    QByteArray previous = chain::genesis();
    qint64 expected = 1;
    for (;;) {
        // The entries with the lowest number: one, unless an entry was inserted with a
        // number that another already has.
        qint64 seq = 0;
        for (const auto& cursor : cursors)
            if (cursor->has() && (seq == 0 || cursor->entry().seq < seq))
                seq = cursor->entry().seq;
        if (seq == 0)
            break;
        QList<EntryCursor*> same;
        for (const auto& cursor : cursors)
            if (cursor->has() && cursor->entry().seq == seq)
                same.append(cursor.get());

        if (seq < expected || seq > headSeq)
            return bad(seq, described(same.first()->entry()) + QStringLiteral(" was inserted"));
        if (seq > expected)
            return bad(expected, QStringLiteral("%1 was removed").arg(expected));
        const StoredEntry* original = nullptr;
        for (EntryCursor* cursor : same)
            if (expectedHash(previous, cursor->entry()) == cursor->entry().hash)
                original = &cursor->entry();
        if (!original || !original->copiesAgree)
            return bad(seq, described(original ? *original : same.first()->entry()) +
                                QStringLiteral(" was changed"));
        if (same.size() > 1) {
            for (EntryCursor* cursor : same)
                if (&cursor->entry() != original)
                    return bad(seq, described(cursor->entry()) + QStringLiteral(" was inserted"));
        }
        previous = original->hash;
        ++report->entries;
        expected = seq + 1;
        for (EntryCursor* cursor : same)
            if (!cursor->next(&result) && result != SQLITE_DONE)
                return lastError();
    }
    if (headSeq >= expected)
        return bad(expected, QStringLiteral("%1 was removed (and any after it)").arg(expected));
    if (headHash != previous)
        return bad(headSeq, QStringLiteral("%1 was changed").arg(headSeq));
    report->intact = true;
    report->text =
        named(QStringLiteral("%1 entries, every one as it was written").arg(report->entries));
    return QString();
}

} // namespace journal
