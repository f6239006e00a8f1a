#pragma once

#include <QDateTime>
#include <QString>

// Times in the journal and in what it answers: ISO 8601 in UTC, to the millisecond,
// "2024-05-01T09:30:00.250Z". Written with a fixed width, so the text sorts as the time does.
namespace journal {

QString utcText(const QDateTime& time);
QDateTime fromUtcText(const QString& text); // invalid when it is not utcText's form

// Which end of a period a time given by the operator bounds: a date alone means the start
// of that day (UTC) as the period's start and its last millisecond as its end.
enum class PeriodEnd { Start, End };

// Reads a time as the operator gives it: "2024-05-01", "2024-05-01T09:30",
// "2024-05-01T09:30:15Z", "2024-05-01T11:30:15+02:00", with seconds and their fraction
// optional; without a zone it is UTC. Invalid, with `error` set, for anything else.
QDateTime parseOperatorTime(const QString& text, PeriodEnd end, QString* error);

} // namespace journal
