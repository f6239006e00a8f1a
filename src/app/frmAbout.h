#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The About window: product name, version, where to report problems, and the licences of
// ScaleDesk and the libraries it uses with where their texts are. The main window
// creates it once and shows it again each time; "OK" only hides it.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

public Q_SLOTS:
    void cmdOK_Click();

private:
    QPlainTextEdit* Text1;
    QPushButton* cmdOK;
};
