#pragma once

#include "journal/Entries.h"
#include "protocol/ExchangeEvents.h"
#include "protocol/Outcome.h"

#include <QMap>
#include <QString>

#include <memory>

struct TableKind;
namespace journal {
class Journal;
} // namespace journal

// What only the front end knows of a run: the table file it sends or compares with.
struct RunFacts {
    QString sourcePath;      // empty when none
    QByteArray sourceSha256; // of the file's bytes; empty when none or it cannot be read

    static RunFacts ofFile(const QString& path); // the file's path and the SHA-256 of its bytes
};

// One job's run in the send journal: opened and its start written before the first byte,
// a row after each answer of the scale, its end. Every call returns the journal's text
// ("journal PATH: reason"), empty when it was recorded.
class JobJournal {
public:
    explicit JobJournal(QString path);
    ~JobJournal();

    QString path() const { return path_; }

    QString begin(const journal::RunStart& start);
    QString addRow(const RowExchange& row);
    void end(const Ending& ending); // a run that never began has no end to record

    // The wire records the journal says `scale` (its name, or its port) holds of `kind`.
    QString heldRecords(const QString& scale, const QString& kind,
                        QMap<int, QByteArray>* records) const;

private:
    QString path_;
    std::unique_ptr<journal::Journal> journal_;
    const TableKind* kind_ = nullptr;
    qint64 runId_ = 0;
};
