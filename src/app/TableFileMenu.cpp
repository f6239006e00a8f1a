#include "app/TableFileMenu.h"

#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "files/TableFileCommands.h"

namespace tablefilemenu {

template <typename Table> void fileNew(frmMain& window, Table& table) {
    if (!window.settleUnsaved(table))
        return;
    const QString status = newTable(table);
    window.historyOf(table).markSaved(); // an empty table has nothing to lose
    window.setSourcePath(QStringLiteral("?"));
    window.showStatus(status);
}

namespace {

template <typename Table> void openChosen(frmMain& window, Table& table, const QString& path) {
    const OpenResult opened = openTable(table, path);
    window.showStatus(opened.status);
    if (opened.ok) {
        window.historyOf(table).markSaved();
        window.setSourcePath(path);
    }
}

} // namespace

template <typename Table>
void fileOpen(frmMain& window, Table& table, FileDialog& dialog, const QString& filter) {
    if (!window.settleUnsaved(table))
        return;
    const std::optional<QString> path = dialog.getOpenFileName(filter);
    if (path)
        openChosen(window, table, *path);
}

template <typename Table> void fileOpenPath(frmMain& window, Table& table, const QString& path) {
    if (window.settleUnsaved(table))
        openChosen(window, table, path);
}

template <typename Table>
bool fileSave(frmMain& window, Table& table, FileDialog& dialog, const QString& filter) {
    const CopyResult copied = copyGridToRecords(table);
    if (!copied.ok) {
        window.showStatus(copied.status);
        window.showCell(table, copied.row, copied.column);
        return false;
    }
    const std::optional<QString> path = dialog.getSaveFileName(filter);
    if (!path)
        return false;
    const SaveResult saved = saveRecords(table, *path);
    if (saved.ok) {
        window.historyOf(table).markSaved();
        window.setSourcePath(*path);
    }
    window.showStatus(saved.status);
    return saved.ok;
}

#define INSTANTIATE(T)                                                                             \
    template void fileNew(frmMain&, T&);                                                           \
    template void fileOpen(frmMain&, T&, FileDialog&, const QString&);                             \
    template void fileOpenPath(frmMain&, T&, const QString&);                                      \
    template bool fileSave(frmMain&, T&, FileDialog&, const QString&);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)

} // namespace tablefilemenu
