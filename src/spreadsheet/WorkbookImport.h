#pragma once

#include "spreadsheet/Sheet.h"
#include "spreadsheet/WorkbookLayout.h"
#include "tables/Table.h"

#include <QStringList>
#include <QVector>

#include <optional>

namespace workbook {

// A table read from a sheet, not yet placed into a window's table.
struct ImportedTable {
    QVector<QStringList> cells; // the grid: header row from the sheet with "NO", row numbers
    qint16 count = 0;           // data rows read
    // Rows 1..count converted into record fields (index 0 unused), field by field:
    // numbers in `numbers`, texts (already cut) in `texts`.
    QVector<QVector<qint32>> numbers;
    QVector<QStringList> texts;
};

// "A" for column 0, "Z", "AA", ... "IV" for column 255.
QString columnLetters(int col);

// "Cannot import FILE: why", the file named as the system writes paths.
QString cannotImport(const QString& fileName, const QString& why);

// Where an import stopped: the data row (1 = sheet row 2), its field and what is wrong.
struct ImportProblem {
    int row = 0;
    QString field; // "UnitPrice"
    QString text;  // "sheet row 3, column E: \"abc\" is not a number"
};

// Reads the sheet the way the import does: row 1 into the header row, then one row per
// record until the first row whose column A is empty or the row limit, with the status
// texts of each step. Empty cells of the data rows get their substitute in the grid, then
// each row is converted. Returns nothing when a cell cannot be converted; the status then
// names the sheet row, the column and the cell's text, and so does `problem` when given.
std::optional<ImportedTable> importSheet(const Sheet& sheet, const TableKind& kind,
                                         const QString& fileName, const StatusSink& status,
                                         ImportProblem* problem = nullptr);

// The same from a workbook file, with " Open Excel File " first; an unreadable file gives a
// status text naming the file and the problem.
std::optional<ImportedTable> importFile(const QString& path, const TableKind& kind,
                                        const StatusSink& status);

// Replaces grid, records and count of `table` with an import.
template <typename T> void placeImport(const ImportedTable& imported, T& table) {
    const TableKind& kind = T::kind();
    table.grid.setCols(kind.columns());
    table.grid.applyFormat(kind.formatString()); // alignments; the header texts come next
    table.grid.setAll(imported.cells);
    for (int i = 1; i <= T::kDataRows; ++i) {
        for (int f = 0; f < kind.fields.size(); ++f) {
            const bool filled = i <= imported.count;
            if (kind.fields[f].kind == FieldKind::Text)
                table.records[i].setText(f, filled ? imported.texts[i][f] : QString());
            else
                table.records[i].setNumber(f, filled ? imported.numbers[i][f] : 0);
        }
    }
    table.count = imported.count;
}

// The end of a whole import: `table` replaced by `imported` and the end text, or, when the
// import stopped, `table` left as it was and false.
template <typename T>
bool finishImport(const std::optional<ImportedTable>& imported, T& table,
                  const StatusSink& status) {
    if (!imported)
        return false;
    placeImport(*imported, table);
    status(kImportEndText);
    return true;
}

// The whole import after the window's file dialog: reads `path` into a fresh table and
// replaces `table` only when every row converted. False leaves `table` as it was.
template <typename T> bool importTable(const QString& path, T& table, const StatusSink& status) {
    return finishImport(importFile(path, T::kind(), status), table, status);
}

} // namespace workbook
