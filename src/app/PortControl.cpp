#include "app/frmMain.h"

#include "app/DownloadColumn.h"
#include "app/PortComboBox.h"
#include "app/TablePane.h"
#include "serial/PortExamples.h"

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

void frmMain::setPortButtons(PortState state) {
    const QList<QWidget*> closedOnly{cmdPortOpen, optCom1, optCom2, optComOther, cboComOther};
    QList<QWidget*> openOnly{cmdVFDUpdate, cmdPLUUpload, cmdPLUCompare}; // they use the line
    for (const TablePane* pane : panes())
        openOnly.append(pane->downloadColumn()->button());
    QList<QWidget*> enabled{cmdPortClose}; // it cancels a connection attempt, too
    if (state == PortState::Open)
        enabled += openOnly;
    if (state == PortState::Closed)
        enabled = closedOnly;
    const QList<QWidget*> disabled = closedOnly + QList<QWidget*>{cmdPortClose} + openOnly;
    // Enable before disabling, and keep a keyboard user on the port buttons: when the
    // focused button is switched off, its partner takes the focus.
    const bool focusOnPortButton = cmdPortOpen->hasFocus() || cmdPortClose->hasFocus();
    for (QWidget* widget : enabled)
        widget->setEnabled(true);
    for (QWidget* widget : disabled)
        if (!enabled.contains(widget))
            widget->setEnabled(false);
    if (focusOnPortButton)
        (state == PortState::Closed ? cmdPortOpen : cmdPortClose)->setFocus();
}

bool frmMain::connecting() const {
    return opening_.isValid() && !opening_.isDone();
}

void frmMain::cmdPortOpen_Click() {
    if (connecting())
        return; // a connection attempt is still under way
    const PortChoice choice = chosenPort();
    showStatus(QStringLiteral("select comport") + choice.label);
    if (link_ && link_->isOpen()) {
        setPortButtons(PortState::Open);
        showStatus(QStringLiteral("Port is already opened"));
        return;
    }
    if (choice.port.isEmpty()) {
        setPortButtons(PortState::Closed);
        showStatus(withPortExamples(QStringLiteral("No port given beside Other: type a device "
                                                   "such as {serial} or an address "
                                                   "tcp://HOST:PORT")));
        return;
    }

    link_ = createLink(choice.port, portNames_);
    linkLabel_ = choice.label;
    connect(link_.get(), &Link::failed, this, &frmMain::onLinkFailed);
    // Until the port is open only "Close" works: it cancels a connection attempt.
    setPortButtons(PortState::Connecting);
    opening_ = openPort(choice);
}

async::Task<void> frmMain::openPort(PortChoice choice) {
    const bool opened = co_await link_->open(); // a TCP connect suspends here
    if (!opened) {
        // The buttons follow the real port state.
        setPortButtons(PortState::Closed);
        // The reason names the device; it is not repeated when the label already does.
        QString reason = link_->errorString();
        if (choice.label.trimmed() == choice.port &&
            reason.startsWith(choice.port + QStringLiteral(": ")))
            reason = reason.mid(choice.port.size() + 2);
        showStatus(cannotOpenText(choice.label, reason));
        co_return;
    }
    setPortButtons(PortState::Open);
    showStatus(QStringLiteral("open port") + choice.label);
}

void frmMain::cmdPortClose_Click() {
    setPortButtons(PortState::Closed);
    if (connecting()) {
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
    if (sender() != link_.get() || connecting())
        return;
    setPortButtons(PortState::Closed);
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
    setPortButtons(PortState::Closed);
    showLostPort(QStringLiteral("the device was removed or stopped answering (%1)")
                     .arg(withoutPortName(link_->errorString())));
}
