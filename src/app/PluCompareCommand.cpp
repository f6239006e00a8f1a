#include "app/CompareDialog.h"
#include "app/FileDialog.h"
#include "app/frmMain.h"

// "Compare" on tab "Upload": reads the scale's PLU table into records of its own (never into
// the operator's table) and shows what differs from the PLU table.

void frmMain::cmdPLUCompare_Click() {
    if (!link_ || lineBusy())
        return;
    // The job compares with the records as they are now.
    auto table = std::make_shared<PluTable>();
    table->records = plu_.records;
    table->count = plu_.count;
    LineJobHooks hooks;
    hooks.ended = [this](const ScaleJob& job) {
        if (!job.result().ending.done())
            return;                // the upload's own text says why
        showStatus(job.endText()); // "Compare: N differences"
        if (!compareDialog_) {
            compareDialog_ = new CompareDialog(this, [this] {
                return dlgFile->getSaveFileName(QStringLiteral("CSV File (*.csv)"));
            });
            connect(compareDialog_, &CompareDialog::statusText, this, &frmMain::showStatus);
        }
        compareDialog_->show(job.scale().port, job.differences());
    };
    startLineJob(CompareWork{std::move(table)}, TransferSession::Kind::Transfer, std::move(hooks));
}
