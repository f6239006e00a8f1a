#pragma once

#include <QDateTime>
#include <QString>

namespace journal {

class Journal;

// What the journal says of one scale's sends lately: the newest row it accepted, and the
// newest run that failed, with its reason.
struct ScaleHistory {
    QDateTime lastSend;  // invalid when the journal knows of none
    QDateTime lastError; // when the newest failed run ended; invalid when none
    QString errorReason; // its outcome and reason: "gave up: Sync error PLU No : 3"
    QString readError;   // the journal could not be read ("journal PATH: reason")
};

// Looks back over at most `rows` of the scale's newest rows.
ScaleHistory scaleHistory(const Journal& journal, const QString& scale, int rows = 10000);

} // namespace journal
