// What a scale holds as far as the journal knows: per number, its latest row.

#include "journal/FieldsJson.h"
#include "journal/Journal.h"
#include "journal/JournalTime.h"
#include "journal/Sqlite.h"

#include <sqlite3.h>

namespace journal {

QString Journal::holds(const QString& scale, const QString& kind,
                       QMap<int, HeldRecord>* held) const {
    held->clear();
    const TableKind* tableKind = tableKindNamed(kind);
    if (!tableKind)
        return named(QStringLiteral("\"%1\" is not a table kind").arg(kind));
    // Two seeks of the index (scale, kind, number, seq) per number: the next number, then its
    // latest row. However long the journal, a scale costs its numbers, not its rows.
    sql::Statement next(*db_, "SELECT number FROM rows WHERE scale = ?1 AND kind = ?2 "
                              "AND number > ?3 ORDER BY number LIMIT 1");
    sql::Statement latest(*db_, "SELECT at, record, fields, accepted, operation FROM rows "
                                "WHERE scale = ?1 AND kind = ?2 AND number = ?3 "
                                "ORDER BY seq DESC LIMIT 1");
    qint64 number = 0;
    for (;;) {
        next.reset();
        next.bind(1, scale);
        next.bind(2, kind);
        next.bind(3, number);
        const int found = next.step();
        if (found == SQLITE_DONE)
            return QString();
        if (found != SQLITE_ROW)
            return lastError();
        number = next.integer(0);
        latest.reset();
        latest.bind(1, scale);
        latest.bind(2, kind);
        latest.bind(3, number);
        if (latest.step() != SQLITE_ROW)
            return lastError();
        const bool known = latest.integer(3) != 0 && !latest.blob(1).isEmpty();
        if (known)
            held->insert(int(number),
                         {int(number), latest.blob(1), fieldsFromJson(latest.text(2), *tableKind),
                          fromUtcText(latest.text(0)), latest.text(4)});
    }
}

} // namespace journal
