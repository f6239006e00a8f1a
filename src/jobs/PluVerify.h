#pragma once

#include "async/Task.h"
#include "jobs/PluCompare.h"
#include "protocol/DownloadPlan.h"

#include <QDateTime>

// After a PLU download: each number sent, read back with the upload exchange and compared
// with the record that was sent. Ingredient messages cannot be read back from the scale.
struct VerifyResult {
    QList<PluDifference> mismatches; // a number the scale lacks shows as "only in the table"
    QString failure;                 // the status text that ended the read-back early

    bool passed() const { return failure.isEmpty() && mismatches.isEmpty(); }
};
async::Task<VerifyResult> verifyPluDownload(const DownloadPlan& plan, Wire& wire,
                                            ExchangeEvents events);

// Before an all-rows PLU download: the scale's PLU table ("All PLU"), written as a PLU file
// `DIR/<scale>-<yyyyMMdd-HHmmss>.plu`. `error` says why there is no backup.
struct BackupResult {
    QString path;  // the file written
    QString error; // empty when the backup was made

    bool made() const { return error.isEmpty(); }
};
async::Task<BackupResult> backUpScalePlus(Wire& wire, QString dir, QString scaleName, QDateTime now,
                                          ExchangeEvents events);
