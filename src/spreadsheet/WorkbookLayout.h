#pragma once

#include "tables/TableKind.h"

#include <QString>

#include <functional>

namespace workbook {

// Receives each status text as the command reaches it.
using StatusSink = std::function<void(const QString&)>;

// What differs between the workbooks of the table kinds is part of each kind's descriptor:
// the sheet layout, the limits of the import and the status texts. One import and one export
// serve every kind from it.
using Layout = WorkbookLayout;

inline const Layout& layoutOf(const TableKind& kind) {
    return kind.workbook;
}

// Texts both tables share.
inline const QString kOpenText = QStringLiteral(" Open Excel File ");
inline const QString kInitializingText = QStringLiteral(" Initializing ");
inline const QString kImportEndText = QStringLiteral(" Data is End ");
inline const QString kExportFirstText = QStringLiteral(" Input File Name ");
inline const QString kExportSaveText = QStringLiteral(" Excel File Save ");
inline const QString kExportProgressText = QStringLiteral(" Data Changing ....  ");
inline const QString kExportEndText = QStringLiteral(" Save End");

// File dialog filters as pairs of description and pattern between '|'.
inline const QString kImportFilter =
    QStringLiteral("Excel File (*.XLS) |*.XLS|ALL File (*.*) |*.*");
inline const QString kExportFilter =
    QStringLiteral(" EXCEL file(*.xls) |*.XLS|ALL File (*.*) |*.*");

} // namespace workbook
