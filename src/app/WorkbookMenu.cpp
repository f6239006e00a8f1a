#include "app/WorkbookMenu.h"

#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "spreadsheet/WorkbookExport.h"
#include "spreadsheet/WorkbookImport.h"
#include "tables/InnerEmptyRow.h"

#include <QDate>

namespace workbookmenu {

const QVector<Format>& formats() {
    static const QString xlsxFilter =
        QStringLiteral("Excel Workbook (*.xlsx)|*.XLSX|ALL File (*.*) |*.*");
    static const QString csvFilter = QStringLiteral("CSV File (*.csv)|*.CSV|ALL File (*.*) |*.*");
    static const QVector<Format> all{
        {WorkbookContainer::Xls, QStringLiteral("Excel File( *.XLS)"), workbook::kImportFilter,
         workbook::kExportFilter, QStringLiteral("mnuLxls"), QStringLiteral("mnuXls"),
         QStringLiteral("mnuLxls1"), QStringLiteral("mnuLxls2")},
        {WorkbookContainer::Xlsx, QStringLiteral("Excel Workbook (*.xlsx)"), xlsxFilter, xlsxFilter,
         QStringLiteral("mnuLxlsx"), QStringLiteral("mnuXlsx"), QStringLiteral("mnuLxlsx1"),
         QStringLiteral("mnuLxlsx2")},
        {WorkbookContainer::Csv, QStringLiteral("CSV File (*.csv)"), csvFilter, csvFilter,
         QStringLiteral("mnuLcsv"), QStringLiteral("mnuCsv"), QStringLiteral("mnuLcsv1"),
         QStringLiteral("mnuLcsv2")},
    };
    return all;
}

QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (pattern == QLatin1String("*.*")) {
                patterns.append(QStringLiteral("*"));
                continue;
            }
            patterns.append(pattern);
            if (pattern.toLower() != pattern)
                patterns.append(pattern.toLower());
        }
        QString description = parts[i];
        if (!description.endsWith(QLatin1Char(' ')))
            description += QLatin1Char(' ');
        filters.append(description + QLatin1Char('(') + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

template <typename Table>
void importWorkbook(frmMain& window, Table& table, FileDialog& dialog, const Format& format) {
    if (!window.settleUnsaved(table))
        return;
    window.showStatus(workbook::layoutOf(Table::kind()).importFirstText);
    const std::optional<QString> path = dialog.getOpenFileName(qtFilter(format.openFilter));
    if (!path)
        return;
    const auto show = [&window](const QString& text) { window.showStatus(text); };
    if (workbook::importTable(*path, table, show)) {
        window.historyOf(table).markSaved();
        window.setSourcePath(*path);
    }
}

template <typename Table>
void exportWorkbook(frmMain& window, const Table& table, FileDialog& dialog, const Format& format) {
    // Refused before the dialog: the export would refuse the file chosen there anyway.
    if (const std::optional<InnerEmptyRow> inner = findInnerEmptyRow(table.grid, Table::kind())) {
        window.showStatus(inner->status);
        window.showCell(table, inner->row, 1);
        return;
    }
    window.showStatus(workbook::kExportFirstText);
    const std::optional<QString> path = dialog.getSaveFileName(qtFilter(format.saveFilter));
    if (!path)
        return;
    const auto show = [&window](const QString& text) { window.showStatus(text); };
    workbook::exportTable(*path, table, QDate::currentDate(), show, format.container);
}

#define INSTANTIATE(T)                                                                             \
    template void importWorkbook(frmMain&, T&, FileDialog&, const Format&);                        \
    template void exportWorkbook(frmMain&, const T&, FileDialog&, const Format&);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)

} // namespace workbookmenu
