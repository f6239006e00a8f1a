#pragma once

#include "tables/Table.h"

#include <QString>

// New, Open and Save of a table's file, free of widgets so that the window and scalectl run
// the same code. Each command reports the text for the status panel; `ok` tells the caller
// whether the file's path becomes the "Source" (only a successful Open or Save sets it).

struct FileCommandResult {
    bool ok = false;
    QString status; // the status text; for a successful copy step there is none
};

using OpenResult = FileCommandResult;
using SaveResult = FileCommandResult;

// A refused copy also names the grid cell at fault, so that the window can put the cursor
// there; row and column are 0 when the copy went through.
struct CopyResult : FileCommandResult {
    int row = 0;
    int column = 0;
};

// Empties grid and records and sets the count to 0; returns "PLU Count is 0" or
// "Message Count is 0".
template <typename Record, int N> QString newTable(Table<Record, N>& table);

// Reads the file at `path` into a fresh table. Only a complete, valid file replaces grid,
// records and count; otherwise the table stays exactly as it was and the status names the
// file and the fault: Cannot open "prices.plu": line 5, Tare: "abc" is not a number
template <typename Record, int N>
OpenResult openTable(Table<Record, N>& table, const QString& path);

// The first step of Save: copies grid rows 1.. into the records up to the first row whose
// first data cell is empty, and sets the count to the number of rows copied. Every cell is
// checked first; a cell that cannot be converted or stored, or a row without a number above
// rows that hold data (see findInnerEmptyRow), refuses the whole copy, and then grid, records
// and count stay as they were. Status on refusal, e.g.
// Cannot save: row 3, U/Price: "1,50" is not a number
template <typename Record, int N> CopyResult copyGridToRecords(Table<Record, N>& table);

// The second step of Save: writes records 1..count to `path`, replacing the file only when
// the write is complete. Status "PLU Count is N" / "INGRED Count is N", or on failure e.g.
// Cannot save "prices.plu": Permission denied
template <typename Record, int N>
SaveResult saveRecords(const Table<Record, N>& table, const QString& path);
