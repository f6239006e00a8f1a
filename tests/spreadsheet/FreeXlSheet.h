#pragma once

// FreeXL as an independent reader of the workbooks we write.

#include <QHash>
#include <QString>

struct FreeXlCell {
    int type = 0; // FREEXL_CELL_*
    QString text; // the value as text: numbers in shortest round-trip form
};

struct FreeXlSheet {
    bool ok = false;
    int biffVersion = 0;
    int sheetCount = 0;
    QString sheetName;
    unsigned rows = 0;
    unsigned short cols = 0;
    QHash<QPair<int, int>, FreeXlCell> cells; // non-null cells of the first sheet
};

FreeXlSheet readWithFreeXl(const QString& path);
