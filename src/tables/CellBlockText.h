#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// A rectangular block of cell texts, row by row.
using CellBlock = QVector<QStringList>;

// Blocks of cells as spreadsheet programs put them on the clipboard and take them from it:
// cells separated by tabs, every row ended by a line break. A cell holding a tab, a line break
// or a double quote is enclosed in double quotes, its own double quotes doubled.

// Rows end with CR LF, which every program reads.
QString formatCellBlock(const CellBlock& block);

// Reads LF, CR LF and CR as line breaks; the break after the last row adds no empty row.
// Shorter rows are padded with empty cells to the widest row, so the block is rectangular.
// A double quote that opens a cell but never closes is taken as a plain character.
CellBlock parseCellBlock(const QString& text);
