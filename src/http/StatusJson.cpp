#include "http/StatusJson.h"

#include "http/RecordJson.h"

#include <QJsonArray>

namespace {

QString jobState(const QList<ScaleReportEntry>& scales) {
    bool cancelled = false;
    bool failed = false;
    for (const ScaleReportEntry& entry : scales) {
        if (!entry.result.ended())
            return QStringLiteral("running");
        cancelled = cancelled || entry.result.state == JobState::Cancelled;
        failed = failed || !entry.result.succeeded();
    }
    if (cancelled)
        return QStringLiteral("cancelled");
    return failed ? QStringLiteral("failed") : QStringLiteral("done");
}

QJsonValue timeJson(const QDateTime& time) {
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

} // namespace

QJsonObject jobJson(const JobStatus& job) {
    QJsonArray scales;
    for (const ScaleReportEntry& entry : job.scales)
        scales.append(scaleReportJson(entry));
    return QJsonObject{
        {QStringLiteral("id"), job.id},
        {QStringLiteral("table"), job.table},
        {QStringLiteral("state"), jobState(job.scales)},
        {QStringLiteral("exitStatus"), exitStatusOf(job.scales)},
        {QStringLiteral("scales"), scales},
    };
}

QJsonObject scalesJson(const QList<ScaleStatus>& scales) {
    QJsonArray list;
    for (const ScaleStatus& status : scales) {
        list.append(QJsonObject{
            {QStringLiteral("name"), status.scale.name},
            {QStringLiteral("port"), status.scale.port},
            {QStringLiteral("answers"),
             status.answers ? QJsonValue(*status.answers) : QJsonValue()},
            {QStringLiteral("lastSend"), timeJson(status.lastSend)},
            {QStringLiteral("lastError"),
             status.lastError.isEmpty() ? QJsonValue() : QJsonValue(status.lastError)},
        });
    }
    return QJsonObject{{QStringLiteral("scales"), list}};
}

QJsonObject journalJson(const JournalPage& page) {
    QJsonArray entries;
    for (const JournalEntry& entry : page.entries) {
        const bool plu = std::holds_alternative<PluRecord>(entry.record);
        const QJsonObject record = plu ? recordJson(std::get<PluRecord>(entry.record))
                                       : recordJson(std::get<IngredRecord>(entry.record));
        const int number = plu ? std::get<PluRecord>(entry.record).number(0)
                               : std::get<IngredRecord>(entry.record).number(0);
        entries.append(QJsonObject{
            {QStringLiteral("time"), timeJson(entry.time)},
            {QStringLiteral("scale"), entry.scale},
            {QStringLiteral("table"), plu ? QStringLiteral("plu") : QStringLiteral("ingred")},
            {QStringLiteral("number"), number},
            {QStringLiteral("accepted"), entry.accepted},
            {QStringLiteral("retries"), entry.retries},
            {QStringLiteral("record"), record},
        });
    }
    return QJsonObject{{QStringLiteral("entries"), entries}, {QStringLiteral("more"), page.more}};
}
