#include "app/frmMain.h"

#include <QLineEdit>

// "Update" on tab "Display": reads the three values the scale shows into the read-out boxes.

void frmMain::cmdVFDUpdate_Click() {
    // A second click while the read waits would only mix its bytes with the first read's.
    if (lineBusy() || !link_)
        return;
    LineJobHooks hooks;
    hooks.ended = [this](const ScaleJob& job) {
        if (job.result().ending.outcome == Outcome::Refused)
            showStatus(job.endText()); // the journal could not record the read: nothing sent
        if (!job.showsValues())
            return; // no sync answer, a failed port or Exit: every box keeps its text
        txtWeight->setText(QString::number(job.display().weight));
        txtUnitPrice->setText(QString::number(job.display().unitPrice));
        txtTotalPrice->setText(QString::number(job.display().totalPrice));
    };
    startLineJob(DisplayWork{}, TransferSession::Kind::DisplayRead, std::move(hooks));
}
