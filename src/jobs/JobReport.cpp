#include "jobs/JobReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int exitStatusOf(const QList<ScaleReportEntry>& scales) {
    for (const ScaleReportEntry& entry : scales)
        if (!entry.outcome.succeeded())
            return 1;
    return 0;
}

QByteArray jobReportJson(const QString& command, const QString& file,
                         const QList<ScaleReportEntry>& scales) {
    QJsonArray list;
    for (const ScaleReportEntry& entry : scales) {
        const JobOutcome& outcome = entry.outcome;
        list.append(QJsonObject{
            {QStringLiteral("name"), entry.scale.name},
            {QStringLiteral("port"), entry.scale.port},
            {QStringLiteral("state"), stateName(outcome.state)},
            {QStringLiteral("succeeded"), outcome.succeeded()},
            {QStringLiteral("rowsSent"), outcome.rowsDone},
            {QStringLiteral("rowsTotal"), outcome.rowsTotal},
            {QStringLiteral("retries"), outcome.retries},
            {QStringLiteral("finalText"), outcome.lastText},
            {QStringLiteral("exitStatus"), outcome.succeeded() ? 0 : 1},
        });
    }
    QJsonObject report{{QStringLiteral("command"), command},
                       {QStringLiteral("exitStatus"), exitStatusOf(scales)},
                       {QStringLiteral("scales"), list}};
    if (!file.isEmpty())
        report.insert(QStringLiteral("file"), file);
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}
