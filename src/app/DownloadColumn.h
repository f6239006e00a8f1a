#pragma once

#include "jobs/CheckedDownload.h"
#include "protocol/DownloadPlan.h"

#include <QWidget>

#include <functional>

struct TablePaneLook;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// One table's column on tab "Download": its download button, the frame with "One X" and its
// box, "Multiple X" from "To" to, "ALL X", and for a kind the scale can send back "Verify"
// and "Back up the scale first" (with "ALL X" only); for the others a note why not.
class DownloadColumn : public QWidget {
    Q_OBJECT
public:
    DownloadColumn(const TablePaneLook& look, QWidget* parent);

    QPushButton* button() const { return button_; }

    // The rows the frame chooses, its boxes' texts as typed.
    DownloadSelection selection() const;
    // "Verify", and the backup "Back up the scale first" asks for with "ALL X";
    // `backupFolder` is asked for the folder only then.
    DownloadChecks checks(const std::function<QString()>& backupFolder) const;

    // The controls in the order Tab meets them: the button, the options, then the boxes; and
    // "Verify" with "Back up the scale first", which come after every column's range.
    QList<QWidget*> rangeControls() const;
    QList<QWidget*> readBackControls() const;

private:
    QPushButton* button_ = nullptr;
    QRadioButton* one_ = nullptr;
    QRadioButton* multiple_ = nullptr;
    QRadioButton* all_ = nullptr;
    QLineEdit* oneNo_ = nullptr;
    QLineEdit* startNo_ = nullptr;
    QLineEdit* endNo_ = nullptr;
    QCheckBox* verify_ = nullptr; // null for kinds the scale does not send back
    QCheckBox* backup_ = nullptr;
};
