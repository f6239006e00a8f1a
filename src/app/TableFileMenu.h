#pragma once

#include <QString>

class FileDialog;
class frmMain;

// The New, Open and Save menu commands of one table: the window's side of the file commands
// (dialog, status panel, "Source" box). `Table` is PluTable or IngredTable.
namespace tablefilemenu {

// New and Open first ask about the table's unsaved edits (frmMain::settleUnsaved).
template <typename Table> void fileNew(frmMain& window, Table& table);

// A cancelled dialog ends the command silently. A failure shows its text; only success sets
// the "Source" box.
template <typename Table>
void fileOpen(frmMain& window, Table& table, FileDialog& dialog, const QString& filter);

// Open without its dialog: the table's file at `path`, after the same question about unsaved
// edits (`scaledesk FILE`, a file opened from Explorer or the desktop).
template <typename Table> void fileOpenPath(frmMain& window, Table& table, const QString& path);

// The grid is copied into the records before the dialog opens; a refused copy shows its text
// and opens no dialog. True when the file was written: the table then counts as saved.
template <typename Table>
bool fileSave(frmMain& window, Table& table, FileDialog& dialog, const QString& filter);

} // namespace tablefilemenu
