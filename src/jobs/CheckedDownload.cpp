#include "jobs/CheckedDownload.h"

async::Task<CheckedDownload> runCheckedDownload(const DownloadPlan& plan, Wire& wire,
                                                DownloadChecks checks, StatusSink status,
                                                ProgressSink progress) {
    CheckedDownload result;
    const bool plu = plan.kind && plan.kind->readsBack;
    const auto show = [&status](const QString& text) {
        if (status)
            status(text);
    };

    if (plu && !plan.refused() && !checks.backupDir.isEmpty()) {
        result.backup =
            co_await backUpScalePlus(wire, checks.backupDir, checks.scaleName, checks.now, status);
        if (!result.backup.made()) {
            result.backupFailed = true;
            show(QStringLiteral("Backup failed: %1; nothing was sent").arg(result.backup.error));
            co_return result;
        }
        show(QStringLiteral("Backup written to %1").arg(result.backup.path));
    }

    result.outcome = co_await runDownload(plan, wire, status, std::move(progress));
    if (!plu || !checks.verify || result.outcome != DownloadOutcome::Finished)
        co_return result;

    result.verify = co_await verifyPluDownload(plan, wire, status);
    result.verified = result.verify.failure.isEmpty();
    for (const PluDifference& mismatch : result.verify.mismatches)
        show(describe(mismatch));
    if (!result.verified)
        show(QStringLiteral("Verify failed: %1").arg(result.verify.failure));
    else if (result.verify.mismatches.isEmpty())
        show(QStringLiteral("Verify: %1 PLUs match the table").arg(plan.rows.size()));
    else
        show(QStringLiteral("Verify failed: %1 differences").arg(result.verify.mismatches.size()));
    co_return result;
}
