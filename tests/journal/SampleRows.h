#pragma once

// Runs and rows as a transfer would record them, for the journal's tests and benchmark.

#include "journal/Entries.h"
#include "journal/FieldsJson.h"
#include "journal/Journal.h"
#include "tables/Records.h"

namespace sample {

inline PluRecord plu(int number, qint32 unitPrice) {
    PluRecord record;
    record.PluNo = qint16(number);
    record.ItemCode = 1000 + number;
    record.ItemName1 = QStringLiteral("Item %1").arg(number);
    record.ItemName2 = QStringLiteral(" ");
    record.UnitPrice = unitPrice;
    return record;
}

// A PLU row; the record bytes only need to differ with the price.
inline journal::RowEntry pluRow(int number, qint32 unitPrice, bool accepted = true) {
    journal::RowEntry row;
    row.number = number;
    row.record = QByteArray::number(1000 + number) + '/' + QByteArray::number(unitPrice);
    row.fields = journal::fieldsOf(plu(number, unitPrice));
    row.accepted = accepted;
    return row;
}

// A read of a number the scale does not hold.
inline journal::RowEntry absentRow(int number) {
    journal::RowEntry row;
    row.number = number;
    row.accepted = true;
    return row;
}

// A read the scale did not answer.
inline journal::RowEntry unansweredRow(int number) {
    journal::RowEntry row;
    row.number = number;
    return row;
}

inline journal::RunStart pluRun(const QString& operation, const QString& scale) {
    return {operation,
            QStringLiteral("PLU"),
            scale,
            QStringLiteral("tcp://127.0.0.1:4001"),
            QStringLiteral("all"),
            QStringLiteral("/srv/shop/prices.plu"),
            QByteArray(64, 'a')};
}

// Opens (makes) the journal at `path` with a clock that goes one second on at each entry,
// from `*now` on; the caller may set `*now` between runs. Null with `error` set when it fails.
inline std::unique_ptr<journal::Journal> openTicking(const QString& path, QDateTime* now,
                                                     QString* error) {
    std::unique_ptr<journal::Journal> journal = journal::Journal::open(path, error);
    if (journal)
        journal->setClock([now] { return *now = now->addSecs(1); });
    return journal;
}

// Records a run: its start, its rows, its end. The first error, or empty.
inline QString record(journal::Journal& journal, const journal::RunStart& start,
                      const QList<journal::RowEntry>& rows,
                      const QString& outcome = QStringLiteral("done")) {
    qint64 run = 0;
    QString error = journal.beginRun(start, &run);
    for (const journal::RowEntry& row : rows)
        if (error.isEmpty())
            error = journal.addRow(run, row);
    return error.isEmpty() ? journal.endRun(run, outcome, QString()) : error;
}

} // namespace sample
