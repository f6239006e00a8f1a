#pragma once

#include "tables/CellBlockText.h"

#include <QList>
#include <QString>
#include <QVector>

class TextGrid;

// One change of a grid as the operator makes it (typing into a cell, a paste, clearing cells,
// inserting or deleting rows, a price change), kept so that it can be done and undone. It
// holds only the cells that change, and the row count before and after when rows are added.
struct GridEdit {
    struct Cell {
        int row;
        int col;
        QString before;
        QString after;
    };
    int rowsBefore = 0;
    int rowsAfter = 0;
    QVector<Cell> cells;

    bool isEmpty() const { return cells.isEmpty() && rowsBefore == rowsAfter; }
};

void applyEdit(TextGrid& grid, const GridEdit& edit);
void revertEdit(TextGrid& grid, const GridEdit& edit);

// A builder answers with the edit, or with the status text that refuses it.
struct GridEditResult {
    GridEdit edit;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The rules every builder keeps: data rows end before `rowLimit` (601 PLU, 201 ingredient),
// and `rowLimitMessage` is the table's message for reaching it.
struct GridLimits {
    int rowLimit;
    QString rowLimitMessage;
};

// `block` written from cell (row, col) on. Rows are added, numbered, up to the row limit; a
// block that would reach it, or that is wider than the columns from `col` on, is refused.
GridEditResult pasteEdit(const TextGrid& grid, int row, int col, const CellBlock& block,
                         const GridLimits& limits);

// The given cells emptied.
struct CellPosition {
    int row;
    int col;
};
GridEdit clearEdit(const TextGrid& grid, const QList<CellPosition>& cells);

// `count` empty rows inserted above `row`; the rows below move down. The grid grows up to the
// row limit; a row with data that would move past the last data row refuses the insert.
GridEditResult insertRowsEdit(const TextGrid& grid, int row, int count, const GridLimits& limits);

// The given rows removed; the rows below move up and empty rows fill the end, so the row
// count and the numbers in column 0 stay as they were.
GridEdit removeRowsEdit(const TextGrid& grid, QList<int> rows);

// Single cells set to new texts (a price change).
GridEdit setCellsEdit(const TextGrid& grid, const QList<GridEdit::Cell>& changes);
