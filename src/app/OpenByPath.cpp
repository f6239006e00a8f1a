#include "app/TablePane.h"
#include "app/frmMain.h"
#include "tables/ShownText.h"

#include <QDir>

// A table file named on the command line, or opened from Explorer or the file manager, which
// start `scaledesk FILE`.

void frmMain::openPath(const QString& path) {
    QStringList extensions;
    for (TablePane* pane : panes()) {
        if (pane->opensFile(path)) {
            pane->openPath(path);
            return;
        }
        extensions << pane->table().kind().file.extension;
    }
    showStatus(QStringLiteral("Cannot open \"%1\": ScaleDesk opens PLU files (.%2) and "
                              "ingredient message files (.%3)")
                   .arg(shownText(QDir::toNativeSeparators(path)), extensions.value(0),
                        extensions.value(1)));
}
