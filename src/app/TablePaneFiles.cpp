#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/PaneHost.h"
#include "app/TablePane.h"
#include "app/WorkbookMenu.h"
#include "spreadsheet/WorkbookLayout.h"

#include <QFileInfo>

// A pane's file commands: the table file's New, Open and Save, and the workbook forms'
// import and export, with their dialogs, status texts and the "Source" box.

void TablePane::newTable() {
    if (!settleUnsaved())
        return;
    const QString status = table_->makeNew();
    history_->markSaved(); // an empty table has nothing to lose
    host_.setSourcePath(QStringLiteral("?"));
    host_.showStatus(status);
}

void TablePane::open() {
    if (!settleUnsaved())
        return;
    if (const std::optional<QString> path = host_.fileDialog().getOpenFileName(look_.fileFilter))
        fileOpened(*path);
}

bool TablePane::opensFile(const QString& path) const {
    return QFileInfo(path).suffix().compare(table_->kind().file.extension, Qt::CaseInsensitive) ==
           0;
}

void TablePane::openPath(const QString& path) {
    host_.showPage(page_);
    if (settleUnsaved())
        fileOpened(path);
}

void TablePane::fileOpened(const QString& path) {
    const OpenResult opened = table_->open(path);
    host_.showStatus(opened.status);
    if (opened.ok) {
        history_->markSaved();
        host_.setSourcePath(path);
    }
}

bool TablePane::save() {
    // The grid is copied into the records before the dialog opens; a refused copy shows its
    // text, points at the cell and opens no dialog.
    const CopyResult copied = table_->copyGridToRecords();
    if (!copied.ok) {
        host_.showStatus(copied.status);
        showCell(copied.row, copied.column);
        return false;
    }
    const std::optional<QString> path = host_.fileDialog().getSaveFileName(look_.fileFilter);
    if (!path)
        return false;
    const SaveResult saved = table_->save(*path);
    if (saved.ok) {
        history_->markSaved();
        host_.setSourcePath(*path);
    }
    host_.showStatus(saved.status);
    return saved.ok;
}

void TablePane::importWorkbook(const workbookmenu::Format& format) {
    if (!settleUnsaved())
        return;
    host_.showStatus(workbook::layoutOf(table_->kind()).importFirstText);
    const std::optional<QString> path =
        host_.fileDialog().getOpenFileName(workbookmenu::qtFilter(format.openFilter));
    if (!path)
        return;
    // The file's form is told by its first bytes, whichever item it was; only a complete
    // import replaces the table.
    if (table_->importWorkbook(*path, [this](const QString& text) { host_.showStatus(text); })) {
        history_->markSaved();
        host_.setSourcePath(*path);
    }
}

void TablePane::exportWorkbook(const workbookmenu::Format& format) {
    // Refused before the dialog: the export would refuse the file chosen there anyway.
    if (const std::optional<InnerEmptyRow> inner = table_->innerEmptyRow()) {
        host_.showStatus(inner->status);
        showCell(inner->row, 1);
        return;
    }
    host_.showStatus(workbook::kExportFirstText);
    const std::optional<QString> path =
        host_.fileDialog().getSaveFileName(workbookmenu::qtFilter(format.saveFilter));
    if (!path)
        return;
    table_->exportWorkbook(
        *path, QDate::currentDate(), [this](const QString& text) { host_.showStatus(text); },
        format.container);
}
