#pragma once

#include "spreadsheet/WorkbookReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The three forms a workbook comes in. A file being read is told by its first bytes rather
// than by its name: a zip archive is .xlsx, a compound document (or an old bare BIFF stream)
// is .xls, anything else is taken for .csv text. A file being written takes the form the
// operator chose (a menu item, or the extension of scalectl's output).
enum class WorkbookContainer { Xls, Xlsx, Csv };

WorkbookContainer containerOf(QByteArrayView firstBytes);

// The form an extension ("xlsx", any case, without the dot) names, if it names one.
std::optional<WorkbookContainer> containerOfExtension(const QString& extension);

// The first worksheet of a workbook in any of the three forms.
WorkbookRead readAnyWorkbook(const QByteArray& file);

// Reads the file at `path` as readFileBytes() does (a regular file within kWorkbookLimit),
// then as readAnyWorkbook() does: an .xls, .xlsx or .csv workbook, whatever its name.
WorkbookRead readWorkbookFile(const QString& path);

// `sheet` as a complete file in `container`'s form.
std::optional<QByteArray> containerBytes(const Sheet& sheet, WorkbookContainer container,
                                         QString* error);

// Writes `sheet` in `container`'s form as saveWorkbook() writes an .xls: through a temporary
// file, so a failed save leaves an earlier file at `path` intact.
bool saveWorkbookAs(const QString& path, const Sheet& sheet, WorkbookContainer container,
                    QString* error);
