#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// What the journal records and what its questions answer. The journal keeps three kinds of
// entry, numbered in the order they were written: a run's start, a row of a run, a run's end.
namespace journal {

// A record's fields as the grid shows them, in the kind's order: name -> text.
using FieldTexts = QList<std::pair<QString, QString>>;

// Written before the first byte of a run.
struct RunStart {
    QString operation;  // "download" (sends), or a read: "upload", "compare", "verify", "display"
    QString kind;       // the table kind's name: "PLU" or "INGRED"
    QString scaleName;  // the scale's name from the list; empty: it is known by its port
    QString port;       // as given: "COM1", "/dev/ttyUSB0", "tcp://10.0.0.7:4001", "sim"
    QString selection;  // as chosen: "all", "one 5", "range 3-7", "changed", ...
    QString sourcePath; // the table file sent; empty when none
    QByteArray sourceSha256; // of that file's bytes, 64 lowercase hex digits; empty when none
};

// Written after the scale's answer to one row.
struct RowEntry {
    int number = 0;        // PluNo / MessageNo
    QByteArray record;     // the wire record as sent or read; empty: the scale does not hold it
    FieldTexts fields;     // every field of the record (see fieldsOf); none with an empty record
    bool accepted = false; // sent: the scale accepted it; read: the record came
    int retries = 0;
};

// The outcomes endRun takes.
inline const QStringList& runOutcomes() {
    static const QStringList outcomes{
        QStringLiteral("done"),          QStringLiteral("cancelled"),
        QStringLiteral("gave up"),       QStringLiteral("port lost"),
        QStringLiteral("refused"),       QStringLiteral("could not open"),
        QStringLiteral("checks failed"),
    };
    return outcomes;
}

// Who wrote a run: added by the journal itself.
struct WriterIdentity {
    QString osUser;
    QString host;
    QString program; // "scalectl", "ScaleDesk"
    QString version;
};

// A run as the questions report it.
struct RunRecord {
    qint64 id = 0; // the number of its start entry
    QDateTime started;
    RunStart start; // scaleName: the scale's name, or its port when it has none
    WriterIdentity writer;
    QDateTime ended; // invalid while the run has no end entry
    QString outcome; // empty while the run has no end entry
    QString reason;
};

// One row of a run, with its run: an answer to "what was sent".
struct RowRecord {
    qint64 entry = 0; // its entry number
    QDateTime at;
    RowEntry row;
    RunRecord run;
};

struct RowFilter {
    QString scale;             // empty: every scale
    QString kind;              // empty: every kind
    std::optional<int> number; // with `kind`
    QDateTime since;           // invalid: from the first; both ends included
    QDateTime until;           // invalid: to the last
    bool newestFirst = false;  // else in the order they were written
    qint64 limit = 0;          // at most this many (the first in the chosen order); 0: all
    qint64 afterEntry = 0;     // only rows written after this entry: the next page
};

// What the journal knows a scale holds under one number.
struct HeldRecord {
    int number = 0;
    QByteArray record;
    FieldTexts fields;
    QDateTime at;      // when the journal learnt it
    QString operation; // "download": the scale accepted it; otherwise it was read back
};

struct LowestPrice {
    qint32 unitPrice = 0;
    QDateTime at; // when it was sent
    QString scale;
    bool fromBefore = false; // sent before the period and still in effect when it began
};

struct VerifyReport {
    bool intact = false;
    qint64 entries = 0;  // entries read
    qint64 firstBad = 0; // the first entry changed, removed or inserted; 0 when intact
    QString text;        // one line for the operator
};

} // namespace journal
