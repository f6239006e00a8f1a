#pragma once

#include "tables/TableKind.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// How an export of a merchandise system is read into one of the tables: which column holds
// which field, how its numbers are written and what fields it lacks. Kept as a JSON file
// (docs/watch.md):
//
//   {"table": "plu", "encoding": "windows-1252", "decimalSeparator": ",", "skipRows": 1,
//    "fields": {"PluNo": "Art.-Nr.", "ItemName1": {"column": 3},
//               "UnitPrice": {"column": "VK-Preis", "factor": 100},
//               "Tare": {"column": "Tara kg", "factor": 1000, "default": 0},
//               "ItemCode": {"default": 0}, ...}}
//
// Every field of the table needs a column or a default, so a field left out by mistake
// cannot become 0 on every scale.

// Where a field's cells are: the column whose header row cell reads `header` (blanks
// around it and case do not matter), or else the column at `position` (1 is column A).
struct ColumnRef {
    QString header;
    int position = 0;

    QString described() const; // "\"VK-Preis\"" or "3"
};

enum class MapEncoding {
    Detect,      // as any .csv is read: UTF-8 when it is valid UTF-8, else Windows-1252
    Utf8,        // UTF-8 only; other bytes are refused
    Windows1252, // Windows-1252 even where the bytes would also be valid UTF-8
};

struct FieldMapping {
    std::optional<ColumnRef> column;
    qint32 factor = 1;                  // number fields: the cell times this, exactly
    std::optional<QString> defaultText; // for a missing column or an empty cell
};

struct ColumnMap {
    const TableKind* kind = nullptr;
    MapEncoding encoding = MapEncoding::Detect; // .csv only: workbooks say their own
    QChar decimalSeparator = u'.';
    int skipRows = 0;             // rows above the header row (or the data) that are not read
    bool headerRow = true;        // the first row after them names the columns
    QVector<FieldMapping> fields; // one per field of the kind, in the kind's order
};

struct ColumnMapRead {
    std::optional<ColumnMap> map;
    QString error; // what is wrong, e.g. "\"Unitprice\" is no field of the PLU table; ..."
};

ColumnMapRead parseColumnMap(const QByteArray& json);

// The map in the file at `path` (a regular file of at most 1 MiB).
ColumnMapRead readColumnMap(const QString& path);
