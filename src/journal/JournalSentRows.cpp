// What was sent: the rows of downloads, with their runs, by scale, row and period.

#include "journal/FieldsJson.h"
#include "journal/Journal.h"
#include "journal/JournalTime.h"
#include "journal/Sqlite.h"

#include <sqlite3.h>

namespace journal {

namespace {

// The WHERE clause of `filter` over rows `r`, and the values of its parameters.
QString whereClause(const RowFilter& filter, QList<sql::Value>* values) {
    QStringList terms{QStringLiteral("r.operation = 'download'")};
    const auto add = [&](const char* term, const sql::Value& value) {
        values->append(value);
        terms.append(QString::fromLatin1(term).arg(values->size()));
    };
    if (!filter.scale.isEmpty())
        add("r.scale = ?%1", filter.scale);
    if (!filter.kind.isEmpty())
        add("r.kind = ?%1", filter.kind);
    if (filter.number)
        add("r.number = ?%1", qint64(*filter.number));
    if (filter.since.isValid())
        add("r.at >= ?%1", utcText(filter.since));
    if (filter.until.isValid())
        add("r.at <= ?%1", utcText(filter.until));
    if (filter.afterEntry > 0)
        add("r.seq > ?%1", filter.afterEntry);
    return QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

void bindAll(sql::Statement& statement, const QList<sql::Value>& values) {
    for (qsizetype i = 0; i < values.size(); ++i)
        statement.bind(int(i + 1), values[i]);
}

RowRecord rowRecord(const sql::Statement& s) {
    RowRecord row;
    row.entry = s.integer(0);
    row.at = fromUtcText(s.text(1));
    row.row.number = int(s.integer(2));
    row.row.record = s.blob(3);
    row.row.accepted = s.integer(5) != 0;
    row.row.retries = int(s.integer(6));
    RunRecord& run = row.run;
    run.id = s.integer(7);
    run.started = fromUtcText(s.text(8));
    run.start = {s.text(9),  s.text(10), s.text(11),           s.text(12),
                 s.text(13), s.text(14), s.text(15).toLatin1()};
    if (const TableKind* kind = tableKindNamed(run.start.kind))
        row.row.fields = fieldsFromJson(s.text(4), *kind);
    run.writer = {s.text(16), s.text(17), s.text(18), s.text(19)};
    if (!s.isNull(20)) {
        run.ended = fromUtcText(s.text(20));
        run.outcome = s.text(21);
        run.reason = s.text(22);
    }
    return row;
}

} // namespace

QString Journal::sentRows(const RowFilter& filter,
                          const std::function<bool(const RowRecord&)>& each) const {
    QList<sql::Value> values;
    QString query = QStringLiteral(
        "SELECT r.seq, r.at, r.number, r.record, r.fields, r.accepted, r.retries, u.seq, "
        "u.started, u.operation, u.kind, u.scale, u.port, u.selection, u.source_path, "
        "u.source_sha256, u.os_user, u.host, u.program, u.version, e.ended, e.outcome, "
        "e.reason FROM rows r JOIN runs u ON u.seq = r.run LEFT JOIN run_ends e ON e.run = "
        "r.run");
    query += whereClause(filter, &values);
    query += filter.newestFirst ? QStringLiteral(" ORDER BY r.seq DESC")
                                : QStringLiteral(" ORDER BY r.seq");
    if (filter.limit > 0) {
        values.append(filter.limit);
        query += QStringLiteral(" LIMIT ?%1").arg(values.size());
    }
    sql::Statement statement(*db_, query.toUtf8().constData());
    bindAll(statement, values);
    int result = SQLITE_ROW;
    while ((result = statement.step()) == SQLITE_ROW) {
        if (!each(rowRecord(statement)))
            return QString();
    }
    return result == SQLITE_DONE ? QString() : lastError();
}

QString Journal::scales(QStringList* names) const {
    sql::Statement statement(*db_, "SELECT DISTINCT scale FROM runs ORDER BY scale");
    names->clear();
    int result = SQLITE_ROW;
    while ((result = statement.step()) == SQLITE_ROW)
        names->append(statement.text(0));
    return result == SQLITE_DONE ? QString() : lastError();
}

} // namespace journal
