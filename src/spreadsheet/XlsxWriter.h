#pragma once

#include "spreadsheet/Sheet.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A complete .xlsx workbook holding `sheet` as its only worksheet, written with libxlsxwriter.
// The same number-or-text rule as the .xls writer: a cell text whose plain decimal reading
// gives back the same text is a number cell, every other text a text cell, so "007" stays
// text. Text columns get a width fitted to their longest text; A2 is the active cell.
// Returns nothing and sets `error` when the sheet cannot be stored (a name the format
// refuses, more rows or longer texts than a sheet has).
std::optional<QByteArray> xlsxBytes(const Sheet& sheet, QString* error);
