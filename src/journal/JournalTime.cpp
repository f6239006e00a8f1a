#include "journal/JournalTime.h"

#include <QRegularExpression>

#include <cstdio>

namespace journal {

namespace {

// The digits of text[from, from + count), or -1 when one is no digit.
int digits(QStringView text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (i >= text.size() || !text[i].isDigit())
            return -1;
        value = value * 10 + text[i].digitValue();
    }
    return value;
}

} // namespace

// Written and read by hand: Qt's format strings cost more than the rest of a listed row.
QString utcText(const QDateTime& time) {
    const QDateTime utc = time.toUTC();
    const QDate date = utc.date();
    const QTime clock = utc.time();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", date.year(),
                  date.month(), date.day(), clock.hour(), clock.minute(), clock.second(),
                  clock.msec());
    return QString::fromLatin1(text);
}

QDateTime fromUtcText(const QString& text) {
    static constexpr char kShape[] = "0000-00-00T00:00:00.000Z";
    if (text.size() != qsizetype(sizeof kShape) - 1)
        return {};
    for (qsizetype i = 0; i < text.size(); ++i)
        if (kShape[i] != '0' && text[i] != QLatin1Char(kShape[i]))
            return {};
    const QDate date(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2));
    const QTime clock(digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2),
                      digits(text, 20, 3));
    if (!date.isValid() || !clock.isValid())
        return {};
    return QDateTime(date, clock, Qt::UTC);
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
