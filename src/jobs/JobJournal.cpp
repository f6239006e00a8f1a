#include "jobs/JobJournal.h"

#include "journal/FieldsJson.h"
#include "journal/Journal.h"

#include <QFile>
#include <QFileInfo>

RunFacts RunFacts::ofFile(const QString& path) {
    RunFacts facts;
    if (!QFileInfo(path).isFile())
        return facts; // no file: the window's "?" or a table never saved
    facts.sourcePath = QFileInfo(path).absoluteFilePath();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        facts.sourceSha256 = journal::sha256Hex(file.readAll());
    return facts;
}

JobJournal::JobJournal(QString path) : path_(std::move(path)) {}

JobJournal::~JobJournal() = default;

QString JobJournal::begin(const journal::RunStart& start) {
    QString error;
    journal_ = journal::Journal::open(path_, &error);
    if (!journal_)
        return error;
    kind_ = journal::tableKindNamed(start.kind);
    error = journal_->beginRun(start, &runId_);
    if (!error.isEmpty())
        journal_.reset();
    return error;
}

QString JobJournal::addRow(const RowExchange& row) {
    if (!journal_)
        return QString();
    journal::RowEntry entry;
    entry.number = row.number;
    entry.record = row.record;
    if (!row.record.isEmpty())
        entry.fields = journal::namedFields(*kind_, row.fields);
    entry.accepted = row.accepted;
    entry.retries = row.retries;
    return journal_->addRow(runId_, entry);
}

void JobJournal::end(const Ending& ending) {
    if (journal_)
        journal_->endRun(runId_, outcomeName(ending.outcome), ending.reason);
    journal_.reset(); // closed with the run: the next reader sees every entry
}

QString JobJournal::heldRecords(const QString& scale, const QString& kind,
                                QMap<int, QByteArray>* records) const {
    records->clear();
    if (!journal_)
        return QString();
    QMap<int, journal::HeldRecord> held;
    const QString error = journal_->holds(scale, kind, &held);
    for (auto it = held.cbegin(); it != held.cend(); ++it)
        records->insert(it.key(), it->record);
    return error;
}
