#pragma once

#include "spreadsheet/Sheet.h"
#include "spreadsheet/WorkbookContainer.h"
#include "spreadsheet/WorkbookLayout.h"
#include "tables/TextGrid.h"

#include <QDate>

namespace workbook {

// The sheet the export writes: named prefix + "dd.mm.yy" of `today`, the header texts in
// row 1, then grid rows 1, 2, ... up to the first row whose column 1 is empty or the grid's
// last row, columns 1.. into A.. (the row-number column is not exported).
Sheet exportSheet(const TextGrid& grid, const TableKind& kind, const QDate& today,
                  const StatusSink& status);

// The whole export after the window's file dialog, from " Excel File Save " to " Save End",
// the same texts whichever form the file is written in. A grid with a row without a number
// above rows that hold data (see findInnerEmptyRow) is refused before anything is written. A
// failure to write leaves any earlier file at `path` intact and says why in the status.
bool exportFile(const QString& path, const TextGrid& grid, const TableKind& kind,
                const QDate& today, const StatusSink& status,
                WorkbookContainer container = WorkbookContainer::Xls);

template <typename T>
bool exportTable(const QString& path, const T& table, const QDate& today, const StatusSink& status,
                 WorkbookContainer container = WorkbookContainer::Xls) {
    return exportFile(path, table.grid, T::kind(), today, status, container);
}

} // namespace workbook
