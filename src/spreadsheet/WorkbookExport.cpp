#include "spreadsheet/WorkbookExport.h"

#include "tables/InnerEmptyRow.h"
#include "tables/ShownText.h"

#include <QDir>

namespace workbook {

Sheet exportSheet(const TextGrid& grid, const TableKind& kind, const QDate& today,
                  const StatusSink& status) {
    const Layout& layout = layoutOf(kind);
    Sheet sheet;
    sheet.name = layout.sheetPrefix + today.toString(QStringLiteral("dd.MM.yy"));
    for (int c = 0; c < layout.columns(); ++c)
        sheet.setText(0, c, layout.headers[c]);
    for (int r = 1; r < grid.rows(); ++r) {
        const QString first = grid.text(r, 1);
        if (first.isEmpty())
            break;
        for (int c = 1; c <= layout.columns(); ++c)
            sheet.setText(r, c - 1, grid.text(r, c));
        status(kExportProgressText + first);
    }
    return sheet;
}

bool exportFile(const QString& path, const TextGrid& grid, const TableKind& kind,
                const QDate& today, const StatusSink& status, WorkbookContainer container) {
    if (const std::optional<InnerEmptyRow> inner = findInnerEmptyRow(grid, kind)) {
        status(inner->status);
        return false;
    }
    status(kExportSaveText);
    const Sheet sheet = exportSheet(grid, kind, today, status);
    QString error;
    if (!saveWorkbookAs(path, sheet, container, &error)) {
        status(QStringLiteral("Cannot save %1: %2")
                   .arg(shownText(QDir::toNativeSeparators(path)), error));
        return false;
    }
    status(kExportEndText);
    return true;
}

} // namespace workbook
