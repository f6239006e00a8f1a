#include "app/AppInfo.h"
#include "app/FileDialog.h"
#include "app/SendHistoryDialog.h"
#include "app/frmMain.h"
#include "journal/Journal.h"

#include <QSettings>

// The send journal of the window: where its transfers record and what View > "Send history"
// reads, kept with the operator's settings.

namespace {
const QString kJournalKey = QStringLiteral("journal/path");
} // namespace

QString frmMain::journalPath() const {
    const QSettings settings(appinfo::productName(), appinfo::productName());
    const QString path = settings.value(kJournalKey).toString();
    return path.isEmpty() ? journal::defaultJournalPath() : path;
}

void frmMain::setJournalPath(const QString& path) {
    QSettings settings(appinfo::productName(), appinfo::productName());
    settings.setValue(kJournalKey, path);
}

void frmMain::mnuViewSendHistory_Click() {
    if (!sendHistory_) {
        sendHistory_ = new SendHistoryDialog(
            {[this] { return journalPath(); },
             [this](const QString& path) { setJournalPath(path); },
             [this](const QString& filter) { return dlgFile->getSaveFileName(filter); }},
            this);
        connect(sendHistory_, &SendHistoryDialog::statusText, this, &frmMain::showStatus);
    }
    sendHistory_->showHistory();
}
