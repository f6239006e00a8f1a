#pragma once

#include "tables/TableKind.h"
#include "tables/TextGrid.h"

#include <QString>

#include <optional>

// A table's rows end before the first grid row whose number (column 1) is empty; Save and the
// workbook exports copy only the rows above it. Rows can be inserted, cleared and pasted
// anywhere, so such a row may lie inside the table, and the rows below it would be left out
// without a word. Every command that copies the grid asks this first and refuses.
struct InnerEmptyRow {
    int row = 0;
    // "Row 3 has no PLU No, and rows below it hold data: fill in its PLU No or delete the row"
    QString status;
};

// The first row without a number when a row below it holds any text; nothing when the rows
// without a number are the empty end of the table.
std::optional<InnerEmptyRow> findInnerEmptyRow(const TextGrid& grid, const TableKind& kind);
