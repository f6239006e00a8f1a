#include "jobs/CheckedDownload.h"

async::Task<CheckedDownload> runCheckedDownload(const DownloadPlan& plan, Wire& wire,
                                                DownloadChecks checks, ExchangeEvents events) {
    CheckedDownload result;
    const bool plu = plan.kind && plan.kind->readsBack;

    if (plu && !plan.refused() && !checks.backupDir.isEmpty()) {
        result.backup =
            co_await backUpScalePlus(wire, checks.backupDir, checks.scaleName, checks.now, events);
        if (!result.backup.made()) {
            result.backupFailed = true;
            const QString text =
                QStringLiteral("Backup failed: %1; nothing was sent").arg(result.backup.error);
            events.show(text);
            result.ending = {Outcome::Refused, text};
            co_return result;
        }
        events.show(QStringLiteral("Backup written to %1").arg(result.backup.path));
    }

    result.ending = co_await runDownload(plan, wire, events);
    if (!plu || !checks.verify || !result.ending.done())
        co_return result;

    result.verify = co_await verifyPluDownload(plan, wire, events);
    result.verified = result.verify.failure.isEmpty();
    for (const PluDifference& mismatch : result.verify.mismatches)
        events.show(describe(mismatch));
    QString text;
    if (!result.verified)
        text = QStringLiteral("Verify failed: %1").arg(result.verify.failure);
    else if (result.verify.mismatches.isEmpty())
        text = QStringLiteral("Verify: %1 PLUs match the table").arg(plan.rows.size());
    else
        text = QStringLiteral("Verify failed: %1 differences").arg(result.verify.mismatches.size());
    events.show(text);
    if (!result.verify.passed())
        result.ending = {Outcome::ChecksFailed, text};
    co_return result;
}
