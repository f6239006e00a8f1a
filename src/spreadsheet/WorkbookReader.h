#pragma once

#include "spreadsheet/Sheet.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct WorkbookRead {
    std::optional<Sheet> sheet; // the first worksheet, when the file could be read
    QString error;              // what is wrong otherwise, e.g. "the workbook is encrypted ..."
};

// Reads the first worksheet of an .xls workbook. The kind of file is told by its first
// bytes, not by its name, so an .xlsx workbook or any other file gets a text saying what it
// is instead of a misleading parse error.
WorkbookRead readWorkbook(const QByteArray& file);
WorkbookRead readWorkbookFile(const QString& path);
