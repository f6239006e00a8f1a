#pragma once

#include "async/Task.h"
#include "jobs/PluVerify.h"
#include "protocol/DownloadEngine.h"

#include <QDateTime>
#include <QString>

// What a download does besides sending: back the scale's PLU table up first, read the sent
// PLUs back afterwards. Both only for kinds the upload reads back (the PLUs); an ingredient
// download ignores them. Without either it is the plain download.
struct DownloadChecks {
    bool verify = false;
    QString backupDir; // empty: no backup
    QString scaleName; // names the backup file
    QDateTime now;     // stamps the backup file
};

struct CheckedDownload {
    // The download's ending; Refused when the backup could not be made (nothing was sent),
    // ChecksFailed when the read-back found a difference or could not be completed.
    Ending ending;
    bool backupFailed = false; // nothing was sent because the backup could not be made
    BackupResult backup;
    bool verified = false; // the read-back ran to its end
    VerifyResult verify;
};

// The download of `plan` with its checks. A backup that cannot be made ends it before the
// first row, with "Backup failed: <why>; nothing was sent". After " THE END " the read-back
// shows each mismatch ("PLU 12: U/Price ...") and then "Verify: N PLUs match the table" or
// "Verify failed: N differences". The download's own texts, bytes and timing are unchanged.
async::Task<CheckedDownload> runCheckedDownload(const DownloadPlan& plan, Wire& wire,
                                                DownloadChecks checks, ExchangeEvents events);

// Said wherever verification is offered for the ingredient messages.
inline const QString kIngredCannotBeVerified =
    QStringLiteral("Ingredient messages cannot be read back from the scale, so they cannot be "
                   "verified.");
