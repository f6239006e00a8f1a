#include "app/DownloadColumn.h"
#include "app/TablePane.h"
#include "app/frmMain.h"

#include <QCheckBox>

// A pane's download button on tab "Download": the rows chosen in the column beside it go to
// the scale, as the window's line job.

void frmMain::startDownload(DownloadPlan plan, DownloadChecks checks) {
    LineJobHooks hooks;
    hooks.ended = [this](const ScaleJob& job) {
        const CheckedDownload& result = job.download();
        if (!result.backupFailed ||
            !confirm(QStringLiteral("The scale could not be backed up: %1.\n\nSend the rows "
                                    "anyway, without a backup?")
                         .arg(result.backup.error)))
            return;
        DownloadWork withoutBackup = std::get<DownloadWork>(job.work());
        withoutBackup.checks.backupDir.clear();
        continueLineJob(std::move(withoutBackup), {});
    };
    startLineJob(DownloadWork{std::move(plan), std::move(checks), chkDownChangedOnly->isChecked()},
                 TransferSession::Kind::Transfer, std::move(hooks));
}

void frmMain::downloadFrom(TablePane& pane) {
    // No port was ever opened (the button is disabled), or the line is in use.
    if (!link_ || lineBusy())
        return;
    DownloadChecks checks = pane.downloadColumn()->checks([this] { return backupFolder(); });
    if (!checks.backupDir.isEmpty())
        checks.scaleName = link_->name(); // names the backup file
    // The records go to the scale, and only a Save brings them in line with the grid.
    if (!pane.settleBeforeDownload())
        return;
    // Every row is checked and built now, before the first byte: the menu bar stays usable
    // during the transfer, and a table changed through it must not reach the scale half.
    startDownload(pane.table().planDownload(sourcePath(), pane.downloadColumn()->selection()),
                  std::move(checks));
}
