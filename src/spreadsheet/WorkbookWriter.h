#pragma once

#include "spreadsheet/Sheet.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A complete .xls file (container and workbook stream) holding `sheet` as its only worksheet.
std::optional<QByteArray> workbookBytes(const Sheet& sheet, QString* error);

// Writes the workbook through a temporary file that replaces `path` only once it is complete,
// so a failed save leaves an earlier file intact. False and `error` set on failure.
bool saveWorkbook(const QString& path, const Sheet& sheet, QString* error);
