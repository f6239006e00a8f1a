#include "app/frmMain.h"

#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

// The window's side of "Verify" and "Back up the scale first" on tab "Download".

bool frmMain::confirm(const QString& question) {
    if (confirm_)
        return confirm_(question);
    return QMessageBox::question(this, QStringLiteral("ScaleDesk"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString frmMain::backupFolder() const {
    const QString folder =
        backupFolder_.isEmpty()
            ? QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                  .filePath(QStringLiteral("backups"))
            : backupFolder_;
    QDir().mkpath(folder); // a folder that cannot be made fails the backup, which says so
    return folder;
}
