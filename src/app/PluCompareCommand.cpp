#include "app/CompareDialog.h"
#include "app/FileDialog.h"
#include "app/TransferSession.h"
#include "app/frmMain.h"
#include "serial/Wire.h"

// "Compare" on tab "Upload": reads the scale's PLU table into records of its own (never into
// the operator's table) and shows what differs from the PLU table.

async::Task<void> frmMain::comparePlus() {
    const std::unique_ptr<TransferSession> session = TransferSession::begin(*this);
    if (!session)
        co_return;
    QList<int> numbers;
    for (int row = 1; row <= plu_.count; ++row)
        numbers.append(plu_.records[row].PluNo);
    Wire wire(*link_, *clock_, &session->abort());
    wire.setLog(&lineLog_);
    StatusSink status = [this](const QString& text) { showStatus(text); };
    const ScaleReadBack read = co_await readBackPlus(wire, true, std::move(numbers), status);
    if (!read.complete())
        co_return; // the upload's own text says why
    const QList<PluDifference> differences = ::comparePlus(plu_, read);
    showStatus(compareSummary(differences));
    if (!compareDialog_) {
        compareDialog_ = new CompareDialog(
            this, [this] { return dlgFile->getSaveFileName(QStringLiteral("CSV File (*.csv)")); });
        connect(compareDialog_, &CompareDialog::statusText, this, &frmMain::showStatus);
    }
    compareDialog_->show(link_->name(), differences);
}

void frmMain::cmdPLUCompare_Click() {
    if (!link_ || lineBusy())
        return;
    lineJob_ = comparePlus();
}
