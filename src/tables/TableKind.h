#pragma once

#include "tables/NumberText.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Everything that tells one table kind from another, kept as data so that the grid, the
// files, the workbooks and the transfers share one implementation for every kind. Each
// record type gives its own descriptor from Record::kind(), so the code serving a table finds
// it by the table's type.

enum class FieldKind { Int16, Int32, Text };

// One field of a record, which is also one data column of the grid, the files and the
// workbooks.
struct FieldSpec {
    QString name;    // the field's name in texts ("PluNo", "Tare", "Message1", ...)
    FieldKind kind;  // a number field holds the signed range of its width
    QChar alignment; // of its grid column: '^' centred, '<' left, '>' right
    QString header;  // its grid header text; the trailing blanks widen the column

    // The column's title as status texts name it: "U/Price", "Item name1", "Message No".
    QString title() const { return header.trimmed(); }
};

// The table's file: one reader, one writer and one set of commands serve every kind.
struct FileRules {
    QString extension;      // "plu" / "ingred" (matched without regard to case)
    QString savedCountText; // "PLU Count is " / "INGRED Count is ": the text after a Save
    int zeroFilledColumn;   // grid column whose empty cell Save sets to "0"; 0 for none
};

// The table's workbook: the sheet layout, the limits of the import and its status texts.
struct WorkbookLayout {
    QString importFirstText; // shown by the window before its file dialog
    QString progressText;    // import, per row, before the row's first cell and six blanks
    QString countText;       // import, before the number of rows read
    QString sheetPrefix;     // export: the sheet is named prefix + "dd.mm.yy"
    QStringList headers;     // export: row 1, columns A.. (one per data column)
    int gridRows;            // import: grid rows while reading
    int lastSheetRow;        // import: the read ends after this sheet row (1-based)
    QString emptyNumber;     // import: what an empty numeric cell after column A becomes
    QString emptyText;       // import: what an empty text cell becomes
    int textCut;             // import: texts longer than this are cut in the records

    int columns() const { return int(headers.size()); }
};

struct TableKind {
    QString name;              // "PLU" or "INGRED"
    int dataRows;              // record indices 1..dataRows
    QVector<FieldSpec> fields; // in grid column order 1.., which is also the file's order
    QString countText;         // "PLU Count is " / "Message Count is "
    FileRules file;
    WorkbookLayout workbook;

    int rowLimit() const { return dataRows + 1; }          // first row number past the data rows
    int columns() const { return int(fields.size()) + 1; } // with the row-number column

    // The grid's format: "^No " for the row numbers, then each field's alignment and header,
    // separated by '|' (see TextGrid::applyFormat).
    QString formatString() const {
        QString format = QStringLiteral("^No ");
        for (const FieldSpec& field : fields)
            format += QLatin1Char('|') + field.alignment + field.header;
        return format;
    }
};

inline IntWidth widthOf(FieldKind kind) {
    return kind == FieldKind::Int16 ? IntWidth::Int16 : IntWidth::Int32;
}
