#pragma once

#include "columnmap/ColumnMap.h"
#include "spreadsheet/WorkbookImport.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace workbook {

// Reads an export (.csv, .xls or .xlsx, told by its first bytes) through `map` into an
// import of the map's table: the same grid, records and count, and the same status texts,
// as the import of a workbook in the table's own layout gives.
//  - The first `skipRows` rows are passed over; then comes the header row, if the map says
//    there is one; every row below it is a record, except rows whose mapped cells are all
//    empty (blank lines between or after the records).
//  - Each field is taken from its column; an empty cell or a missing column takes the
//    field's default. A number is read with the map's decimal separator (a workbook's number
//    cells with a point as well) and multiplied by the field's factor (see ScaledNumber.h).
//  - A column the file lacks, an empty number cell without a default, a value that does not
//    convert and more records than the table holds refuse the whole file. The status then
//    names the file, the sheet row, the column and the field:
//      Cannot import prices.csv: sheet row 7, column C ("VK-Preis"), UnitPrice: "12,9x" is
//      not a number
std::optional<ImportedTable> importMapped(const QByteArray& file, const QString& fileName,
                                          const ColumnMap& map, const StatusSink& status);

// The same from the file at `path`, read whole as any workbook is, with " Open Excel File "
// first.
std::optional<ImportedTable> importMappedFile(const QString& path, const ColumnMap& map,
                                              const StatusSink& status);

// Reads `path` through `map` into `table`, which is replaced only when every row converted.
// The map must be one of `table`'s kind.
template <typename T>
bool importMappedTable(const QString& path, const ColumnMap& map, T& table,
                       const StatusSink& status) {
    Q_ASSERT(map.kind == &T::kind());
    return finishImport(importMappedFile(path, map, status), table, status);
}

} // namespace workbook
