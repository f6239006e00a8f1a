#include "app/TablePane.h"
#include "app/frmMain.h"
#include "tables/ShownText.h"

#include <QDir>

// A table file named on the command line, or opened from Explorer or the file manager, which
// start `scaledesk FILE`.

void frmMain::openPath(const QString& path) {
    QStringList kinds; // "PLU files (.plu)", one per pane
    for (TablePane* pane : panes()) {
        if (pane->opensFile(path)) {
            pane->openPath(path);
            return;
        }
        kinds << QStringLiteral("%1 (.%2)")
                     .arg(pane->look().filesName, pane->table().kind().file.extension);
    }
    const QString last = kinds.takeLast();
    showStatus(QStringLiteral("Cannot open \"%1\": ScaleDesk opens %2 and %3")
                   .arg(shownText(QDir::toNativeSeparators(path)), kinds.join(QStringLiteral(", ")),
                        last));
}
