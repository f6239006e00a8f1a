#include "jobs/PluVerify.h"

#include "files/TableFileCommands.h"
#include "protocol/PluWireRecord.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <memory>

async::Task<VerifyResult> verifyPluDownload(const DownloadPlan& plan, Wire& wire,
                                            ExchangeEvents events) {
    QList<int> numbers;
    for (const DownloadRow& row : plan.rows)
        numbers.append(row.number);
    const ScaleReadBack read = co_await readBackPlus(wire, false, numbers, std::move(events));

    VerifyResult result;
    result.failure = read.failure;
    for (const DownloadRow& row : plan.rows) {
        if (read.missing.contains(row.number)) {
            result.mismatches.append({row.number, PluDifference::Kind::OnlyInTable, {}, {}, {}});
        } else if (read.held.contains(row.number)) {
            PluRecord sent = plu_wire::decode(row.record).record;
            sent.PluNo = qint16(row.number);
            result.mismatches += fieldDifferences(row.number, sent, read.held[row.number]);
        }
    }
    co_return result;
}

async::Task<BackupResult> backUpScalePlus(Wire& wire, QString dir, QString scaleName, QDateTime now,
                                          ExchangeEvents events) {
    BackupResult result;
    if (!QFileInfo(dir).isDir()) {
        result.error = QStringLiteral("the folder %1 does not exist").arg(dir);
        co_return result;
    }
    QList<int> noMoreNumbers;
    const ScaleReadBack read =
        co_await readBackPlus(wire, true, std::move(noMoreNumbers), std::move(events));
    if (!read.complete()) {
        result.error =
            QStringLiteral("the scale's PLU table could not be read: %1").arg(read.failure);
        co_return result;
    }
    auto table = std::make_unique<PluTable>();
    for (const PluRecord& record : read.held)
        table->records[++table->count] = record;

    // A name fit for a file name on every system: letters, digits, '-', '_' and '.'.
    QString name = scaleName;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]+")), QStringLiteral("_"));
    result.path = QDir(dir).filePath(QStringLiteral("%1-%2.plu")
                                         .arg(name.isEmpty() ? QStringLiteral("scale") : name,
                                              now.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    const SaveResult saved = saveRecords(*table, result.path);
    if (!saved.ok)
        result.error = saved.status;
    co_return result;
}
