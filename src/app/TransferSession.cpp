#include "app/TransferSession.h"

#include "app/TransferControls.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

std::unique_ptr<TransferSession> TransferSession::begin(frmMain& window) {
    TransferControls& controls = TransferControls::of(*window.statusBar());
    if (controls.busy())
        return nullptr;
    return std::unique_ptr<TransferSession>(new TransferSession(window, controls));
}

TransferSession::TransferSession(frmMain& window, TransferControls& controls)
    : window_(window), controls_(controls), focusBefore_(QApplication::focusWidget()) {
    window_.tabs()->setEnabled(false);
    window_.beginLineWork();
    controls_.setBusy(true);
    controls_.cancelButton()->setFocus(); // the one control of the transfer

    // The connections end with abort_, that is with the session.
    QObject::connect(controls_.cancelButton(), &QPushButton::clicked, &abort_,
                     [this] { abort_.abort(QStringLiteral("Cancel")); });
    QObject::connect(&window_, &frmMain::exitRequested, &abort_,
                     [this] { abort_.abort(QStringLiteral("Exit")); });
    if (Link* link = window_.link())
        QObject::connect(link, &QObject::destroyed, &abort_,
                         [this] { abort_.abort(QStringLiteral("the port was replaced")); });
}

TransferSession::~TransferSession() {
    controls_.setBusy(false);
    window_.endLineWork();
    window_.tabs()->setEnabled(true);
    window_.checkPortAfterTransfer();
    if (focusBefore_ && focusBefore_->isEnabled() && focusBefore_->isVisible())
        focusBefore_->setFocus();
}

void TransferSession::setProgress(int done, int total) {
    controls_.setProgress(done, total);
}
