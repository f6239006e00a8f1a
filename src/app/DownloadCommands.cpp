#include "app/frmMain.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QRadioButton>

// " PLU Download" and "INGRED Download" on tab "Download": the rows chosen in the frame
// beside each button go to the scale, as the window's line job.

namespace {

DownloadChoice choiceOf(const QRadioButton* one, const QRadioButton* multiple) {
    if (one->isChecked())
        return DownloadChoice::One;
    if (multiple->isChecked())
        return DownloadChoice::Multiple;
    return DownloadChoice::All; // also when no option is set
}

} // namespace

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

template <typename TableT>
void frmMain::downloadTable(TableT& table, const DownloadSelection& selection,
                            DownloadChecks checks) {
    // No port was ever opened (the button is disabled), or the line is in use.
    if (!link_ || lineBusy())
        return;
    // The records go to the scale, and only a Save brings them in line with the grid.
    if (!settleBeforeDownload(table))
        return;
    // Every row is checked and built now, before the first byte: the menu bar stays usable
    // during the transfer, and a table changed through it must not reach the scale half.
    startDownload(planDownload(table, sourcePath(), selection), std::move(checks));
}

void frmMain::cmdPLUDownload_Click() {
    DownloadChecks checks;
    checks.verify = chkDownVerifyPLU->isChecked();
    if (link_ && optDownAllPLU->isChecked() && chkDownBackupPLU->isChecked()) {
        checks.backupDir = backupFolder();
        checks.scaleName = link_->name();
        checks.now = QDateTime::currentDateTime();
    }
    downloadTable(plu_,
                  {choiceOf(optDownOnePLU, optDownMultiplePLU), txtDownOnePluNo->text(),
                   txtDownStartPluNo->text(), txtDownEndPluNo->text()},
                  std::move(checks));
}

void frmMain::cmdINGREDDownload_Click() {
    downloadTable(ingred_,
                  {choiceOf(optDownOneINGRED, optDownMultipleINGRED), txtDownOneIngredNo->text(),
                   txtDownStartIngredNo->text(), txtDownEndIngredNo->text()},
                  {}); // ingredient messages are never read back
}
