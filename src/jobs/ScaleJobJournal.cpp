// The send journal's part of a job: the run's start, the rows a "changed only" download
// keeps, and each row as the scale answered it.

#include "jobs/ScaleJob.h"

#include "tables/Records.h"

namespace {

// "rows 1-600", "row 5", "no rows": what a download was asked to send.
QString rowsText(const QVector<DownloadRow>& rows) {
    if (rows.isEmpty())
        return QStringLiteral("no rows");
    if (rows.size() == 1)
        return QStringLiteral("row %1").arg(rows.front().index);
    return QStringLiteral("rows %1-%2").arg(rows.front().index).arg(rows.back().index);
}

} // namespace

void ScaleJob::setJournal(const QString& path, RunFacts facts) {
    journal_ = std::make_unique<JobJournal>(path);
    runFacts_ = std::move(facts);
}

journal::RunStart ScaleJob::runStart() const {
    journal::RunStart start;
    // A scale known only by its port is named after it.
    start.scaleName = scale_.name == scale_.port ? QString() : scale_.name;
    start.port = scale_.port;
    start.sourcePath = runFacts_.sourcePath;
    start.sourceSha256 = runFacts_.sourceSha256;
    start.kind = pluKind().name;
    if (const auto* download = std::get_if<DownloadWork>(&work_)) {
        start.operation = QStringLiteral("download");
        if (download->plan.table)
            start.kind = download->plan.table->name;
        start.selection = rowsText(download->plan.rows);
        if (download->changedOnly)
            start.selection += QStringLiteral(", changed only");
    } else if (const auto* upload = std::get_if<UploadWork>(&work_)) {
        start.operation = QStringLiteral("upload");
        start.selection = upload->selection.onePlu
                              ? QStringLiteral("one ") + upload->selection.onePluNoText.trimmed()
                              : QStringLiteral("all");
    } else if (const auto* compare = std::get_if<CompareWork>(&work_)) {
        start.operation = QStringLiteral("compare");
        start.selection = QStringLiteral("the table's %1 PLUs").arg(compare->table->count);
    } else {
        start.operation = QStringLiteral("display");
        start.selection = QStringLiteral("display");
    }
    return start;
}

QString ScaleJob::beginJournal() {
    if (!journal_)
        return QString();
    if (const QString refusal = journal_->begin(runStart()); !refusal.isEmpty()) {
        journal_.reset(); // no run to end
        return refusal;
    }
    auto* download = std::get_if<DownloadWork>(&work_);
    if (!download || !download->changedOnly)
        return QString();
    const QString refusal = keepChangedRows(*download);
    result_.rowsTotal = int(download->plan.rows.size());
    return refusal;
}

QString ScaleJob::keepChangedRows(DownloadWork& work) const {
    if (!work.plan.table)
        return QString(); // a refused plan: the download says why
    const QString scale = scale_.name.isEmpty() ? scale_.port : scale_.name;
    QMap<int, QByteArray> held;
    if (const QString error = journal_->heldRecords(scale, work.plan.table->name, &held);
        !error.isEmpty())
        return error;
    work.plan.rows.removeIf([&held](const DownloadRow& row) {
        const auto known = held.constFind(row.number);
        return known != held.cend() && *known == row.record;
    });
    return QString();
}

void ScaleJob::recordRow(const RowExchange& row) {
    if (!journal_ || !journalFailure_.isEmpty())
        return;
    // A download's backup and read-back read rows; only the rows it sent are its run's.
    if (std::holds_alternative<DownloadWork>(work_) && row.index == 0)
        return;
    journalFailure_ = journal_->addRow(row);
    if (!journalFailure_.isEmpty())
        abort_.abort(journalFailure_); // after this row, not a byte more
}
