#pragma once

#include "spreadsheet/SheetLimits.h"
#include "spreadsheet/WorkbookReader.h"

#include <QByteArray>

// Reads a .csv file into a sheet named "Sheet1", row by row from row 1, column A.
//  - Text: UTF-8 with or without a byte order mark, UTF-16 with one; a file that is not
//    valid UTF-8 is read as Windows-1252.
//  - Separator: a comma or a semicolon, whichever the first row has more of outside quotes
//    (the whole file decides a one-column first row; a tie is a comma).
//  - Quoting as RFC 4180: a cell in double quotes may hold separators, line breaks and
//    doubled quotes. A quote inside an unquoted cell is kept as it is.
//  - Texts are kept exactly as written, blanks and leading zeros included, apart from the
//    apostrophe the writer puts before formula-shaped texts (csvformula).
// A quoted cell that is never closed, text after a closing quote, zero bytes (not a text
// file) or more rows or cells than a sheet may hold give an error naming the line.
WorkbookRead readCsv(const QByteArray& file, int maxCells = kMaxSheetCells);
