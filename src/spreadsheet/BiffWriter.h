#pragma once

#include "spreadsheet/Sheet.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Writes a BIFF8 workbook stream with one worksheet: `sheet.name` and its cells. A cell text
// whose plain decimal reading gives back the same text is stored as a number, every other
// text as a shared string. Columns that hold a text get a width fitted to their longest
// text; cell A2 is the active cell. Returns nothing and sets `error` when the sheet cannot
// be stored (a name the format refuses, more rows than a sheet has).
std::optional<QByteArray> writeBiffStream(const Sheet& sheet, QString* error);
