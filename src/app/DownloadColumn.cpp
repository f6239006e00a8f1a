#include "app/DownloadColumn.h"

#include "app/Controls.h"
#include "app/TablePaneLook.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QCheckBox* makeCheckBox(QWidget* parent, const QString& caption, const QString& name,
                        const QString& tip) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    return box;
}

} // namespace

DownloadColumn::DownloadColumn(const TablePaneLook& look, QWidget* parent) : QWidget(parent) {
    const QString what = look.caption;
    const QString box = look.download.boxWord;
    button_ = controls::button(this, look.download.buttonCaption, look.download.buttonName);
    QGroupBox* frame = controls::frame(this, what + QStringLiteral(" Download Option"),
                                       QStringLiteral("fraDown%1Option").arg(what));
    const QString oneCaption = QStringLiteral("One ") + what;
    const QString multipleCaption = QStringLiteral("Multiple ") + what;
    one_ = controls::option(frame, oneCaption, QStringLiteral("optDownOne") + what);
    multiple_ = controls::option(frame, multipleCaption, QStringLiteral("optDownMultiple") + what);
    all_ =
        controls::option(frame, QStringLiteral("ALL ") + what, QStringLiteral("optDownAll") + what);
    oneNo_ = controls::numberBox(frame, QStringLiteral("txtDownOne%1No").arg(box), oneCaption,
                                 QStringLiteral("1"));
    startNo_ = controls::numberBox(frame, QStringLiteral("txtDownStart%1No").arg(box),
                                   multipleCaption, QStringLiteral("1"));
    endNo_ = controls::numberBox(frame, QStringLiteral("txtDownEnd%1No").arg(box),
                                 multipleCaption + QStringLiteral(" To"), QStringLiteral("2"));
    QLabel* to = controls::label(frame, QStringLiteral("To"),
                                 QStringLiteral("lblDown%1To").arg(box), endNo_);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(one_, 0, 0);
    grid->addWidget(oneNo_, 0, 1);
    grid->addWidget(multiple_, 1, 0);
    grid->addWidget(startNo_, 1, 1);
    grid->addWidget(to, 1, 2);
    grid->addWidget(endNo_, 1, 3);
    grid->addWidget(all_, 2, 0);
    grid->setColumnStretch(4, 1);
    one_->setChecked(true);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(button_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttonRow);
    layout->addWidget(frame);
    if (look.download.readBack) {
        verify_ = makeCheckBox(
            this, QStringLiteral("Verify"), look.download.verifyName,
            QStringLiteral("After sending, read each %1 back from the scale and compare it")
                .arg(what));
        backup_ = makeCheckBox(
            frame, QStringLiteral("Back up the scale first"), look.download.backupName,
            QStringLiteral("Before ALL %1, save the scale's %1 table in a file of its own")
                .arg(what));
        backup_->setEnabled(false);
        connect(all_, &QRadioButton::toggled, backup_, &QWidget::setEnabled);
        grid->addWidget(backup_, 2, 1, 1, 3);
        buttonRow->addWidget(verify_);
    } else {
        auto* note = new QLabel(look.download.noReadBackNote, this);
        note->setObjectName(look.download.noReadBackNoteName);
        note->setWordWrap(true);
        note->setMaximumWidth(320);
        layout->addWidget(note);
    }
    buttonRow->addStretch(1);
    layout->addStretch(1);
}

DownloadSelection DownloadColumn::selection() const {
    DownloadSelection selection; // "ALL", also when no option is set
    if (one_->isChecked())
        selection.choice = DownloadChoice::One;
    else if (multiple_->isChecked())
        selection.choice = DownloadChoice::Multiple;
    selection.oneNo = oneNo_->text();
    selection.startNo = startNo_->text();
    selection.endNo = endNo_->text();
    return selection;
}

DownloadChecks DownloadColumn::checks(const std::function<QString()>& backupFolder) const {
    DownloadChecks checks;
    if (!verify_)
        return checks; // never read back
    checks.verify = verify_->isChecked();
    if (all_->isChecked() && backup_->isChecked()) {
        checks.backupDir = backupFolder();
        checks.now = QDateTime::currentDateTime();
    }
    return checks;
}

QList<QWidget*> DownloadColumn::rangeControls() const {
    return {button_, one_, multiple_, all_, oneNo_, startNo_, endNo_};
}

QList<QWidget*> DownloadColumn::readBackControls() const {
    if (!verify_)
        return {};
    return {verify_, backup_};
}
