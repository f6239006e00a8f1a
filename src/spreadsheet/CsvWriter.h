#pragma once

#include "spreadsheet/Sheet.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// A .csv file of the sheet's cells: UTF-8 with a byte order mark, commas between cells, CRLF
// after each row (RFC 4180), each row ending with its last cell. A cell text that the .xls
// writer would store as a number is written bare; every other text is quoted (so a
// spreadsheet program told to take quoted cells as text keeps "007" as it is) and guarded
// against running as a formula (csvformula). The sheet name has no place in the file.
// Returns nothing and sets `error` when the sheet cannot be stored.
std::optional<QByteArray> csvBytes(const Sheet& sheet, QString* error);

// What every such file starts with: UTF-8's byte order mark.
inline const QByteArray& csvFileStart() {
    static const QByteArray mark("\xEF\xBB\xBF");
    return mark;
}

// One row of such a file, each cell written as csvBytes writes it, without the line end.
QString csvLine(const QStringList& cells);
