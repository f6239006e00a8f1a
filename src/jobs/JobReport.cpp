#include "jobs/JobReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int exitStatusOf(const QList<ScaleReportEntry>& scales) {
    for (const ScaleReportEntry& entry : scales)
        if (!entry.result.succeeded())
            return 1;
    return 0;
}

QJsonObject scaleReportJson(const ScaleReportEntry& entry) {
    const JobResult& result = entry.result;
    const bool ended = result.ended();
    return QJsonObject{
        {QStringLiteral("name"), entry.scale.name},
        {QStringLiteral("port"), entry.scale.port},
        {QStringLiteral("state"), stateName(result.state)},
        {QStringLiteral("outcome"), ended ? outcomeName(result.ending.outcome) : QString()},
        {QStringLiteral("reason"), ended ? result.ending.reason : QString()},
        {QStringLiteral("succeeded"), result.succeeded()},
        {QStringLiteral("rowsSent"), result.rowsDone},
        {QStringLiteral("rowsTotal"), result.rowsTotal},
        {QStringLiteral("retries"), result.retries},
        {QStringLiteral("finalText"), result.lastText},
        {QStringLiteral("exitStatus"), ended ? exitStatusOf(result.ending.outcome) : 1},
    };
}

QByteArray jobReportJson(const QString& command, const QString& file,
                         const QList<ScaleReportEntry>& scales) {
    QJsonArray list;
    for (const ScaleReportEntry& entry : scales)
        list.append(scaleReportJson(entry));
    QJsonObject report{{QStringLiteral("command"), command},
                       {QStringLiteral("exitStatus"), exitStatusOf(scales)},
                       {QStringLiteral("scales"), list}};
    if (!file.isEmpty())
        report.insert(QStringLiteral("file"), file);
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}
