#include "app/TransferSession.h"

#include "app/TransferControls.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

std::unique_ptr<TransferSession> TransferSession::begin(frmMain& window, Kind kind, Cancel cancel) {
    TransferControls& controls = TransferControls::of(*window.statusBar());
    if (controls.busy())
        return nullptr;
    return std::unique_ptr<TransferSession>(
        new TransferSession(window, kind, controls, std::move(cancel)));
}

TransferSession::TransferSession(frmMain& window, Kind kind, TransferControls& controls,
                                 Cancel cancel)
    : window_(window), kind_(kind), controls_(controls), cancel_(std::move(cancel)),
      focusBefore_(QApplication::focusWidget()) {
    window_.beginLineWork();
    if (kind_ == Kind::Transfer) {
        window_.tabs()->setEnabled(false);
        controls_.setBusy(true);
        controls_.cancelButton()->setFocus(); // the one control of the transfer
        QObject::connect(controls_.cancelButton(), &QPushButton::clicked, &connections_,
                         [this] { this->cancel(QStringLiteral("Cancel")); });
    }
    QObject::connect(&window_, &frmMain::exitRequested, &connections_,
                     [this] { this->cancel(QStringLiteral("Exit")); });
    if (Link* link = window_.link())
        QObject::connect(link, &QObject::destroyed, &connections_,
                         [this] { this->cancel(QStringLiteral("the port was replaced")); });
}

TransferSession::~TransferSession() {
    window_.endLineWork();
    if (kind_ != Kind::Transfer)
        return;
    controls_.setBusy(false);
    window_.tabs()->setEnabled(true);
    window_.checkPortAfterTransfer();
    if (focusBefore_ && focusBefore_->isEnabled() && focusBefore_->isVisible())
        focusBefore_->setFocus();
}

void TransferSession::cancel(const QString& reason) const {
    if (cancel_)
        cancel_(reason);
}

void TransferSession::setProgress(int done, int total) {
    controls_.setProgress(done, total);
}
