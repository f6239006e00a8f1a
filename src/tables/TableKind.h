#pragma once

#include "tables/NumberText.h"

#include <QString>
#include <QVector>

// What differs between the PLU table and the ingredient table, kept as data so that files,
// workbooks and transfers share one implementation for both.

enum class FieldKind { Int16, Int32, Text };

struct FieldSpec {
    QString name; // the field's name in texts ("PluNo", "Tare", "Message1", ...)
    FieldKind kind;
};

struct TableKind {
    QString name;              // "PLU" or "INGRED"
    int dataRows;              // 600 or 200: record indices 1..dataRows
    QString formatString;      // header texts and alignments of the grid
    QVector<FieldSpec> fields; // in grid column order 1.., which is also the file's order
    QString countText;         // "PLU Count is " / "Message Count is "

    int rowLimit() const { return dataRows + 1; }          // first row number past the data rows
    int columns() const { return int(fields.size()) + 1; } // with the row-number column
};

const TableKind& pluKind();
const TableKind& ingredKind();

inline IntWidth widthOf(FieldKind kind) {
    return kind == FieldKind::Int16 ? IntWidth::Int16 : IntWidth::Int32;
}
