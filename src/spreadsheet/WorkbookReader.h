#pragma once

#include "files/FileBytes.h"
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
// is instead of a misleading parse error. readAnyWorkbook() (WorkbookContainer.h) reads all
// three forms.
WorkbookRead readWorkbook(const QByteArray& file);

// A full table takes 60 to 131 KB as a workbook, whoever wrote it; the limit leaves room for
// formatting and further sheets while a huge file picked by mistake stays unread.
inline constexpr ReadLimit kWorkbookLimit{16 * 1024 * 1024, "a workbook"};
