#include "app/AppInfo.h"
#include "app/TablePane.h"
#include "app/frmMain.h"

#include <QLabel>

// The marks of unsaved edits: "PLU*" in the title and "* not saved: PLU" beside the "Source"
// box, one name for each table whose grid holds edits no file has.

EditHistory& frmMain::historyOf(const PluTable&) {
    return pluPane_->history();
}

EditHistory& frmMain::historyOf(const IngredTable&) {
    return ingredPane_->history();
}

void frmMain::updateUnsavedMarks() {
    QStringList unsaved;
    QStringList marked;
    for (const TablePane* pane : panes()) {
        if (pane->unsaved()) {
            unsaved << pane->look().caption;
            marked << pane->look().caption + QLatin1Char('*');
        }
    }
    setWindowTitle(unsaved.isEmpty()
                       ? appinfo::productName()
                       : appinfo::productName() + QStringLiteral(" - ") + marked.join(' '));
    lblUnsaved->setText(QStringLiteral("* not saved: ") + unsaved.join(QStringLiteral(", ")));
    lblUnsaved->setAccessibleName(lblUnsaved->text());
    lblUnsaved->setVisible(!unsaved.isEmpty());
}
