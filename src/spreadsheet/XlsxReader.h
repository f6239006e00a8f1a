#pragma once

#include "spreadsheet/WorkbookReader.h"

#include <QByteArray>

// Reads the first worksheet (in the workbook's order) of an .xlsx workbook held in memory:
// the zip container through Unzip, the workbook, its relationships, the shared strings and
// the sheet through xlsxxml. The sheet comes out as the .xls reader gives the same sheet:
// texts stay texts ("007" too), numbers in their plain decimal form.
WorkbookRead readXlsx(const QByteArray& file);
