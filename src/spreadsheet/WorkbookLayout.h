#pragma once

#include "tables/TableKind.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace workbook {

// Receives each status text as the command reaches it.
using StatusSink = std::function<void(const QString&)>;

// What differs between the PLU and the ingredient workbooks: the sheet layout, the limits of
// the import and the status texts. One import and one export serve both tables from this.
struct Layout {
    QString importFirstText; // shown by the window before its file dialog
    QString progressText;    // import, per row, before the row's first cell and six blanks
    QString countText;       // import, before the number of rows read
    QString sheetPrefix;     // export: the sheet is named prefix + "dd.mm.yy"
    QStringList headers;     // export: row 1, columns A.. (one per data column)
    int gridRows;            // import: grid rows while reading
    int lastSheetRow;        // import: the read ends after this sheet row (1-based)
    QString emptyNumber;     // import: what an empty numeric cell after column A becomes
    QString emptyText;       // import: what an empty text cell becomes
    int textCut;             // import: texts longer than this are cut in the records

    int columns() const { return int(headers.size()); }
};

const Layout& pluLayout();
const Layout& ingredLayout();
const Layout& layoutOf(const TableKind& kind);

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
