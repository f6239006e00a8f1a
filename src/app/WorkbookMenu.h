#pragma once

#include "spreadsheet/WorkbookContainer.h"

#include <QString>
#include <QVector>

class FileDialog;
class frmMain;

// The window's side of the workbook commands: the first status text, the file dialog, then
// the import or export with every status text in the status panel. A cancelled dialog ends
// the command with the first text still showing. `Table` is PluTable or IngredTable. One
// path serves every form of workbook and both tables; the forms differ only in their menu
// items, their dialog filters and the form an export writes.
namespace workbookmenu {

// One form of workbook as both tables' Open and Save submenus offer it.
struct Format {
    WorkbookContainer container; // what an export writes (an import goes by the first bytes)
    QString caption;             // the item's text, in both submenus of both tables
    QString openFilter;          // "Description|pattern|..." of the import's file dialog
    QString saveFilter;          // the same for the export's
    // The objectNames of the four items.
    QString pluOpen;
    QString pluSave;
    QString ingredOpen;
    QString ingredSave;
};

// The forms in menu order: .xls first, then .xlsx and .csv. A further form is one more
// entry here.
const QVector<Format>& formats();

// Asks about the table's unsaved edits first. Only a complete import replaces the table and
// sets the "Source" box. The file's form is told by its first bytes, whichever item it was.
template <typename Table>
void importWorkbook(frmMain& window, Table& table, FileDialog& dialog, const Format& format);

template <typename Table>
void exportWorkbook(frmMain& window, const Table& table, FileDialog& dialog, const Format& format);

// "Description|pattern|Description|pattern" as Qt's file dialogs take it, descriptions kept:
// "*.*" becomes "*" (every file) and upper-case patterns also match lower-case names.
QString qtFilter(const QString& filter);

} // namespace workbookmenu
