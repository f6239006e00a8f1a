#include "journal/JournalTime.h"

#include <QRegularExpression>

namespace journal {

namespace {
const QString kFormat = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'");
} // namespace

QString utcText(const QDateTime& time) {
    return time.toUTC().toString(kFormat);
}

QDateTime fromUtcText(const QString& text) {
    QDateTime time = QDateTime::fromString(text, kFormat);
    time.setTimeSpec(Qt::UTC); // the 'Z' is matched as a literal
    return time;
}

QDateTime parseOperatorTime(const QString& text, PeriodEnd end, QString* error) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})(?:T(\\d{2}:\\d{2}(?::\\d{2}(?:\\.\\d{1,3})?)?)(Z|[+"
                       "-]\\d{2}:\\d{2})?)?$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    const QDate date =
        match.hasMatch() ? QDate::fromString(match.captured(1), Qt::ISODate) : QDate();
    if (!date.isValid()) {
        *error = QStringLiteral("\"%1\" is not a date or time: give it as 2024-05-01 or "
                                "2024-05-01T09:30:00Z (UTC)")
                     .arg(text);
        return {};
    }
    if (match.captured(2).isEmpty()) {
        const QDateTime start(date, QTime(0, 0), Qt::UTC);
        return end == PeriodEnd::Start ? start : start.addDays(1).addMSecs(-1);
    }
    const QString zone = match.captured(3).isEmpty() ? QStringLiteral("Z") : match.captured(3);
    const QDateTime time = QDateTime::fromString(
        match.captured(1) + u'T' + match.captured(2) + zone, Qt::ISODateWithMs);
    if (!time.isValid()) {
        *error = QStringLiteral("\"%1\" is not a valid time of day").arg(text);
        return {};
    }
    return time.toUTC();
}

} // namespace journal
