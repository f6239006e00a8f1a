#include "hotfolder/FileResult.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The exit code scalectl gives a file that cannot be read.
constexpr int kFileErrorStatus = 3;

QString outcomeName(RowOutcome outcome) {
    switch (outcome) {
    case RowOutcome::Sent:
        return QStringLiteral("sent");
    case RowOutcome::Failed:
        return QStringLiteral("failed");
    case RowOutcome::NotSent:
        break;
    }
    return QStringLiteral("not sent");
}

// ISO 8601 with the offset from UTC, so that the time reads the same anywhere.
QString isoTime(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QJsonArray rowsJson(const QList<RowResult>& rows) {
    QJsonArray list;
    for (const RowResult& row : rows) {
        QJsonObject entry{{QStringLiteral("row"), row.row},
                          {QStringLiteral("number"), row.number},
                          {QStringLiteral("outcome"), outcomeName(row.outcome)}};
        if (!row.text.isEmpty())
            entry.insert(QStringLiteral("text"), row.text);
        list.append(entry);
    }
    return list;
}

} // namespace

QList<RowResult> downloadRowResults(const DownloadPlan& plan, const JobResult& result) {
    QList<RowResult> rows;
    for (int i = 0; i < plan.rows.size(); ++i) {
        RowResult row{plan.rows[i].index, plan.rows[i].number, RowOutcome::NotSent, {}};
        if (i < result.rowsDone) {
            row.outcome = RowOutcome::Sent;
        } else if (i == result.rowsDone && result.ending.outcome == Outcome::GaveUp) {
            row.outcome = RowOutcome::Failed;
            row.text = result.lastText;
        }
        rows.append(row);
    }
    return rows;
}

FileResult FileResult::refused(const QString& reason) {
    FileResult result;
    result.refusal = reason;
    return result;
}

bool FileResult::succeeded() const {
    QList<ScaleReportEntry> reports;
    for (const ScaleFileResult& scale : scales)
        reports.append(scale.report);
    return refusal.isEmpty() && !scales.isEmpty() && exitStatusOf(reports) == 0;
}

QByteArray fileResultJson(const FileResult& result, const FileJourney& journey) {
    // The report's own fields come from the report's own writer, so the two never differ.
    QList<ScaleReportEntry> reports;
    for (const ScaleFileResult& scale : result.scales)
        reports.append(scale.report);
    QJsonObject json =
        QJsonDocument::fromJson(jobReportJson(result.command, journey.name, reports)).object();
    QJsonArray scales = json.value(QStringLiteral("scales")).toArray();
    for (int i = 0; i < scales.size(); ++i) {
        QJsonObject scale = scales[i].toObject();
        scale.insert(QStringLiteral("rows"), rowsJson(result.scales[i].rows));
        scales[i] = scale;
    }
    json.insert(QStringLiteral("scales"), scales);
    json.insert(QStringLiteral("file"), journey.name);
    json.insert(QStringLiteral("movedTo"), journey.movedTo);
    json.insert(QStringLiteral("outcome"),
                result.succeeded() ? QStringLiteral("done") : QStringLiteral("failed"));
    json.insert(QStringLiteral("taken"), isoTime(journey.taken));
    json.insert(QStringLiteral("finished"), isoTime(journey.finished));
    if (!result.refusal.isEmpty()) {
        json.insert(QStringLiteral("reason"), result.refusal);
        json.insert(QStringLiteral("exitStatus"), kFileErrorStatus);
    }
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}
