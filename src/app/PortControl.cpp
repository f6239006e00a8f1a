#include "app/frmMain.h"

#include "app/PortComboBox.h"

#include <QPushButton>
#include <QRadioButton>

// "Open" and "Close" on tab "Port", and what the window does when an open port breaks.

frmMain::PortChoice frmMain::chosenPort() const {
    if (optCom1->isChecked())
        return {QStringLiteral("COM1"), QStringLiteral("1")};
    if (optCom2->isChecked())
        return {QStringLiteral("COM2"), QStringLiteral("2")};
    const QString port = cboComOther->portName();
    return {port, QStringLiteral(" ") + port};
}

void frmMain::setPortButtons(bool portOpen) {
    const QList<QWidget*> openOnly{cmdPortClose,      cmdVFDUpdate, cmdPLUDownload,
                                   cmdINGREDDownload, cmdPLUUpload, cmdPLUCompare};
    const QList<QWidget*> closedOnly{cmdPortOpen, optCom1, optCom2, optComOther, cboComOther};
    // Enable before disabling, and keep a keyboard user on the port buttons: when the
    // focused button is switched off, its partner takes the focus.
    const bool focusOnPortButton = cmdPortOpen->hasFocus() || cmdPortClose->hasFocus();
    for (QWidget* widget : portOpen ? openOnly : closedOnly)
        widget->setEnabled(true);
    for (QWidget* widget : portOpen ? closedOnly : openOnly)
        widget->setEnabled(false);
    if (focusOnPortButton)
        (portOpen ? cmdPortClose : cmdPortOpen)->setFocus();
}

void frmMain::cmdPortOpen_Click() {
    if (opening_)
        return; // a connection attempt is still under way
    setPortButtons(true);
    const PortChoice choice = chosenPort();
    showStatus(QStringLiteral("select comport") + choice.label);
    if (link_ && link_->isOpen()) {
        showStatus(QStringLiteral("Port is already opened"));
        return;
    }
    if (choice.port.isEmpty()) {
        setPortButtons(false);
        showStatus(QStringLiteral("No port given beside Other: type a device such as "
                                  "/dev/ttyUSB0 or an address tcp://HOST:PORT"));
        return;
    }

    link_ = createLink(choice.port, portNames_);
    linkLabel_ = choice.label;
    connect(link_.get(), &Link::failed, this, &frmMain::onLinkFailed);
    opening_ = true;
    const bool opened = link_->open(); // a TCP connect waits here, the window stays live
    opening_ = false;
    if (!opened) {
        // The buttons follow the real port state.
        setPortButtons(false);
        // The reason names the device; it is not repeated when the label already does.
        QString reason = link_->errorString();
        if (choice.label.trimmed() == choice.port &&
            reason.startsWith(choice.port + QStringLiteral(": ")))
            reason = reason.mid(choice.port.size() + 2);
        showStatus(QStringLiteral("cannot open port") + choice.label + QStringLiteral(": ") +
                   reason);
        return;
    }
    showStatus(QStringLiteral("open port") + choice.label);
}

void frmMain::cmdPortClose_Click() {
    setPortButtons(false);
    if (opening_) {
        link_->close(); // cancels the connection attempt; "Open" reports it
        return;
    }
    if (link_ && link_->isOpen()) {
        link_->close();
        showStatus(QStringLiteral("close port"));
    } else {
        showStatus(QStringLiteral("Port is not opened"));
    }
}

void frmMain::onLinkFailed(const QString& reason) {
    if (sender() != link_.get() || opening_)
        return;
    setPortButtons(false);
    showLostPort(reason);
}

void frmMain::showLostPort(const QString& reason) {
    showStatus(QStringLiteral("lost port") + linkLabel_ + QStringLiteral(": ") + reason);
}

void frmMain::checkPortAfterTransfer() {
    // A reopen between rows that fails (cable pulled, adapter unplugged) closes the port
    // without the link reporting a failure.
    if (!link_ || link_->isOpen() || !cmdPortClose->isEnabled())
        return;
    setPortButtons(false);
    showLostPort(QStringLiteral("the device was removed or stopped answering (%1)")
                     .arg(withoutPortName(link_->errorString())));
}
