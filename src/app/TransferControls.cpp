#include "app/TransferControls.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

TransferControls& TransferControls::of(QStatusBar& bar) {
    if (auto* existing = bar.findChild<TransferControls*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new TransferControls(bar);
}

TransferControls::TransferControls(QStatusBar& bar) : QWidget(&bar) {
    setObjectName(QStringLiteral("TransferControls"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgTransfer"));
    progress_->setAccessibleName(QStringLiteral("Transfer progress"));
    progress_->setFixedWidth(160);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    cancel_->setAccessibleName(QStringLiteral("Cancel"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(progress_);
    layout->addWidget(cancel_);
    bar.insertPermanentWidget(1, this); // after the status panel, before the date and the time
    hide();
}

void TransferControls::setBusy(bool busy) {
    busy_ = busy;
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setFormat(QString());
    setVisible(busy);
}

void TransferControls::setProgress(int done, int total) {
    progress_->setRange(0, qMax(total, 1)); // a maximum of 0 would make it a busy indicator
    progress_->setValue(done);
    progress_->setFormat(QStringLiteral("%1 / %2").arg(done).arg(total));
}
