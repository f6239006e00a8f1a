#pragma once

#include "spreadsheet/WorkbookContainer.h"

#include <QString>
#include <QVector>

// The workbook forms every table's Open and Save submenus offer: one path serves every form
// and every table (TablePane::importWorkbook, exportWorkbook); the forms differ only in their
// items' captions, their dialog filters and the form an export writes.
namespace workbookmenu {

// One form of workbook; each table kind names its items (TablePaneLook).
struct Format {
    WorkbookContainer container; // what an export writes (an import goes by the first bytes)
    QString caption;             // the item's text, in both submenus of every table
    QString openFilter;          // "Description|pattern|..." of the import's file dialog
    QString saveFilter;          // the same for the export's
};

// The forms in menu order: .xls first, then .xlsx and .csv. A further form is one more
// entry here and one more item name in each kind's look.
const QVector<Format>& formats();

// "Description|pattern|Description|pattern" as Qt's file dialogs take it, descriptions kept:
// "*.*" becomes "*" (every file) and upper-case patterns also match lower-case names.
QString qtFilter(const QString& filter);

} // namespace workbookmenu
