#pragma once

#include "tables/TableKind.h"

#include <QString>

// What the table files need to know about a table beyond its fields: kept as data so that
// one reader, one writer and one set of commands serve both tables.
struct FileRules {
    QString extension;      // "plu" / "ingred" (matched without regard to case)
    QString savedCountText; // "PLU Count is " / "INGRED Count is ": the text after a Save
    int zeroFilledColumn;   // grid column whose empty cell Save sets to "0"; 0 for none
};

const FileRules& fileRulesFor(const TableKind& kind);

// The column's title as the header shows it, without the blanks that only widen it:
// "U/Price", "Item name1", "Message No".
QString columnTitle(const TableKind& kind, int column);
