#pragma once

// A journal written with known times, for the tests that read one back: each run begins one
// second after its time, and every entry comes one second after the one before.

#include "journal/SampleRows.h"

#include <QDateTime>

#include <optional>

namespace sample {

struct DatedRun {
    QDateTime at;
    journal::RunStart start;
    QList<journal::RowEntry> rows;
    QString outcome = QStringLiteral("done");
};

// Makes the journal at `path` holding `runs`, recorded by `writer` when given; the first error,
// or empty.
inline QString writeDatedJournal(const QString& path, const QList<DatedRun>& runs,
                                 const std::optional<journal::WriterIdentity>& writer = {}) {
    QString error;
    QDateTime now;
    const std::unique_ptr<journal::Journal> journal = openTicking(path, &now, &error);
    if (!journal)
        return error;
    if (writer)
        journal->setWriter(*writer);
    for (const DatedRun& run : runs) {
        now = run.at;
        error = record(*journal, run.start, run.rows, run.outcome);
        if (!error.isEmpty())
            return error;
    }
    return {};
}

} // namespace sample
