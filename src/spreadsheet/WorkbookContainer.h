#pragma once

#include "spreadsheet/WorkbookReader.h"

#include <QByteArray>
#include <QByteArrayView>

// The three forms a workbook comes in, told by the file's first bytes rather than by its
// name: a zip archive is .xlsx, a compound document (or an old bare BIFF stream) is .xls,
// anything else is taken for .csv text.
enum class WorkbookContainer { Xls, Xlsx, Csv };

WorkbookContainer containerOf(QByteArrayView firstBytes);

// The first worksheet of a workbook in any of the three forms.
WorkbookRead readAnyWorkbook(const QByteArray& file);
