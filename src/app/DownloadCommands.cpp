#include "app/TransferSession.h"
#include "app/frmMain.h"
#include "jobs/CheckedDownload.h"
#include "protocol/DownloadEngine.h"
#include "serial/Wire.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QRadioButton>

// " PLU Download" and "INGRED Download" on tab "Download": the rows chosen in the frame
// beside each button go to the scale. The download is the window's line job: the handler
// starts it and returns; it goes on from the event loop as the scale answers.

namespace {

DownloadChoice choiceOf(const QRadioButton* one, const QRadioButton* multiple) {
    if (one->isChecked())
        return DownloadChoice::One;
    if (multiple->isChecked())
        return DownloadChoice::Multiple;
    return DownloadChoice::All; // also when no option is set
}

template <typename TableT>
async::Task<void> download(frmMain& window, TableT& table, DownloadSelection selection,
                           DownloadChecks checks) {
    if (!window.link())
        co_return; // no port was ever opened: the buttons are disabled
    // The records go to the scale, and only a Save brings them in line with the grid.
    if (!window.settleBeforeDownload(table))
        co_return;
    const std::unique_ptr<TransferSession> session = TransferSession::begin(window);
    if (!session)
        co_return;
    // Every row is checked and built now, before the first byte: the menu bar stays usable
    // during the transfer, and a table changed through it must not reach the scale half.
    const DownloadPlan plan = planDownload(table, window.sourcePath(), selection);
    Wire wire(*window.link(), window.clock(), &session->abort());
    wire.setLog(&window.lineLog());
    StatusSink status = [&window](const QString& text) { window.showStatus(text); };
    ProgressSink progress = [session = session.get()](int done, int total) {
        session->setProgress(done, total);
    };
    if (!checks.verify && checks.backupDir.isEmpty()) {
        co_await runDownload(plan, wire, std::move(status), std::move(progress));
        co_return;
    }
    const CheckedDownload checked =
        co_await runCheckedDownload(plan, wire, checks, status, progress);
    if (checked.backupFailed &&
        window.confirm(QStringLiteral("The scale could not be backed up: %1.\n\nSend the rows "
                                      "anyway, without a backup?")
                           .arg(checked.backup.error))) {
        checks.backupDir.clear();
        co_await runCheckedDownload(plan, wire, std::move(checks), std::move(status),
                                    std::move(progress));
    }
}

} // namespace

void frmMain::cmdPLUDownload_Click() {
    if (lineBusy())
        return;
    DownloadSelection selection{choiceOf(optDownOnePLU, optDownMultiplePLU),
                                txtDownOnePluNo->text(), txtDownStartPluNo->text(),
                                txtDownEndPluNo->text()};
    DownloadChecks checks;
    checks.verify = chkDownVerifyPLU->isChecked();
    if (optDownAllPLU->isChecked() && chkDownBackupPLU->isChecked()) {
        checks.backupDir = backupFolder();
        checks.scaleName = link_ ? link_->name() : QString();
        checks.now = QDateTime::currentDateTime();
    }
    lineJob_ = download(*this, plu_, std::move(selection), std::move(checks));
}

void frmMain::cmdINGREDDownload_Click() {
    if (lineBusy())
        return;
    DownloadSelection selection{choiceOf(optDownOneINGRED, optDownMultipleINGRED),
                                txtDownOneIngredNo->text(), txtDownStartIngredNo->text(),
                                txtDownEndIngredNo->text()};
    DownloadChecks none; // ingredient messages cannot be read back
    lineJob_ = download(*this, ingred_, std::move(selection), std::move(none));
}
