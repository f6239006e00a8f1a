#include "app/frmMain.h"

#include "protocol/DisplayRead.h"
#include "serial/TransferAbort.h"
#include "serial/Wire.h"

#include <QLineEdit>
#include <QScopeGuard>

// "Update" on tab "Display": reads the three values the scale shows into the read-out boxes.

void frmMain::cmdVFDUpdate_Click() {
    // A second click while the read waits would only mix its bytes with the first read's.
    if (lineBusy() || !link_)
        return;
    lineJob_ = updateDisplay();
}

async::Task<void> frmMain::updateDisplay() {
    beginLineWork();
    const auto done = qScopeGuard([this] { endLineWork(); });

    // "Exit", or the port being replaced by a new "Open", ends the wait at once.
    Link* link = link_.get();
    TransferAbort abort;
    connect(this, &frmMain::exitRequested, &abort,
            [&abort] { abort.abort(QStringLiteral("Exit")); });
    connect(link, &QObject::destroyed, &abort,
            [&abort] { abort.abort(QStringLiteral("the port was replaced")); });

    Wire wire(*link, *clock_, &abort);
    wire.setLog(&lineLog_);
    const DisplayReadResult result = co_await readDisplay(wire);
    if (!result.showValues())
        co_return; // no sync answer, a failed port or Exit: every box keeps its text
    txtWeight->setText(QString::number(result.values.weight));
    txtUnitPrice->setText(QString::number(result.values.unitPrice));
    txtTotalPrice->setText(QString::number(result.values.totalPrice));
}
