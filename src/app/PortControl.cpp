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
    cmdPortOpen->setEnabled(!portOpen);
    cmdPortClose->setEnabled(portOpen);
    cmdVFDUpdate->setEnabled(portOpen);
    cmdPLUDownload->setEnabled(portOpen);
    cmdINGREDDownload->setEnabled(portOpen);
    cmdPLUUpload->setEnabled(portOpen);
    optCom1->setEnabled(!portOpen);
    optCom2->setEnabled(!portOpen);
    optComOther->setEnabled(!portOpen);
    cboComOther->setEnabled(!portOpen);
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
        showStatus(QStringLiteral("cannot open port") + choice.label + QStringLiteral(": ") +
                   link_->errorString());
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
    showStatus(QStringLiteral("lost port") + linkLabel_ + QStringLiteral(": ") + reason);
}
