#pragma once

#include "serial/TransferAbort.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class TransferControls;
class frmMain;

// The window's side of one transfer with the scale, for as long as the object lives: the
// tabs are disabled, the status bar shows the progress bar and "Cancel", and "Cancel",
// "Exit" or the port going away abort the transfer. Its end enables the tabs again and hides
// the controls, on every way out of the transfer.
class TransferSession {
public:
    // Null when a transfer is running in this window already.
    static std::unique_ptr<TransferSession> begin(frmMain& window);
    ~TransferSession();
    TransferSession(const TransferSession&) = delete;
    TransferSession& operator=(const TransferSession&) = delete;

    const TransferAbort& abort() const { return abort_; }
    void setProgress(int done, int total);

private:
    TransferSession(frmMain& window, TransferControls& controls);

    frmMain& window_;
    TransferControls& controls_;
    TransferAbort abort_;
    QPointer<QWidget> focusBefore_;
};
