// The lowest unit price of a PLU in a period, as a price reduction must name it: the prices
// sent in the period and the one each scale already held when it began.

#include "journal/Journal.h"
#include "journal/JournalTime.h"
#include "journal/Sqlite.h"

#include <sqlite3.h>

namespace journal {

QString Journal::lowestUnitPrice(int number, const QString& scale, const QDateTime& from,
                                 const QDateTime& to, std::optional<LowestPrice>* lowest) const {
    lowest->reset();
    // Both by the index (kind, number, at). The price held at the start is, per scale, the
    // last accepted before it (SQLite takes the bare columns from the row with max(at)).
    const char* const sql =
        "SELECT unit_price, at, scale, 0 FROM rows WHERE kind = 'PLU' AND number = ?1 "
        "AND at >= ?2 AND at <= ?3 AND operation = 'download' AND accepted = 1 "
        "AND unit_price IS NOT NULL AND (?4 = '' OR scale = ?4) "
        "UNION ALL "
        "SELECT unit_price, max(at), scale, 1 FROM rows WHERE kind = 'PLU' AND number = ?1 "
        "AND at < ?2 AND operation = 'download' AND accepted = 1 "
        "AND unit_price IS NOT NULL AND (?4 = '' OR scale = ?4) GROUP BY scale "
        "ORDER BY 1, 2 LIMIT 1";
    sql::Statement query(*db_, sql);
    query.bind(1, qint64(number));
    query.bind(2, utcText(from));
    query.bind(3, utcText(to));
    query.bind(4, scale);
    const int result = query.step();
    if (result == SQLITE_ROW)
        *lowest = LowestPrice{qint32(query.integer(0)), fromUtcText(query.text(1)), query.text(2),
                              query.integer(3) != 0};
    else if (result != SQLITE_DONE)
        return lastError();
    return QString();
}

} // namespace journal
