#pragma once

#include <QString>

class FileDialog;
class frmMain;

// The window's side of the four workbook commands: the first status text, the file dialog,
// then the import or export with every status text in the status panel. A cancelled dialog
// ends the command with the first text still showing. `Table` is PluTable or IngredTable.
namespace workbookmenu {

// Asks about the table's unsaved edits first. Only a complete import replaces the table and
// sets the "Source" box.
template <typename Table> void importWorkbook(frmMain& window, Table& table, FileDialog& dialog);

template <typename Table>
void exportWorkbook(frmMain& window, const Table& table, FileDialog& dialog);

// "Description|pattern|Description|pattern" as Qt's file dialogs take it, descriptions kept:
// "*.*" becomes "*" (every file) and upper-case patterns also match lower-case names.
QString qtFilter(const QString& filter);

} // namespace workbookmenu
