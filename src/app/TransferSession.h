#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class TransferControls;
class frmMain;

// The window's side of one job on its open port, for as long as the object lives. A
// transfer disables the tabs and shows the progress bar and "Cancel" in the status bar; a
// display read only disables the commands that change a table or touch a file. "Cancel",
// "Exit" or the port going away cancel the job (`cancel` gets the reason). Its end enables
// everything again and hides the controls, on every way out of the job.
class TransferSession {
public:
    enum class Kind { Transfer, DisplayRead };
    using Cancel = std::function<void(const QString& reason)>;

    // Null when a transfer is running in this window already.
    static std::unique_ptr<TransferSession> begin(frmMain& window, Kind kind, Cancel cancel);
    ~TransferSession();
    TransferSession(const TransferSession&) = delete;
    TransferSession& operator=(const TransferSession&) = delete;

    // The job that `cancel` reaches from now on (a follow-up of the first one).
    void setCancel(Cancel cancel) { cancel_ = std::move(cancel); }
    void setProgress(int done, int total);

private:
    TransferSession(frmMain& window, Kind kind, TransferControls& controls, Cancel cancel);
    void cancel(const QString& reason) const;

    frmMain& window_;
    Kind kind_;
    TransferControls& controls_;
    Cancel cancel_;
    QPointer<QWidget> focusBefore_;
    QObject connections_; // the session's connections end with it
};
