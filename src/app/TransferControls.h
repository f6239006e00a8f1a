#pragma once

#include <QWidget>

class QProgressBar;
class QPushButton;
class QStatusBar;

// The progress bar (rows done of rows selected) and the "Cancel" button of a transfer with
// the scale, between the status panel and the date. Hidden while no transfer runs.
class TransferControls : public QWidget {
    Q_OBJECT
public:
    // The controls in `bar`, made there on first use.
    static TransferControls& of(QStatusBar& bar);

    QPushButton* cancelButton() const { return cancel_; }

    // Whether a transfer holds the controls; a second one must not start meanwhile.
    bool busy() const { return busy_; }
    void setBusy(bool busy);

    void setProgress(int done, int total);

private:
    explicit TransferControls(QStatusBar& bar);

    QProgressBar* progress_;
    QPushButton* cancel_;
    bool busy_ = false;
};
