#include "app/WorkbookMenu.h"

#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "spreadsheet/WorkbookExport.h"
#include "spreadsheet/WorkbookImport.h"

#include <QDate>

namespace workbookmenu {

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

template <typename Table> void importWorkbook(frmMain& window, Table& table, FileDialog& dialog) {
    if (!window.settleUnsaved(table))
        return;
    window.showStatus(workbook::layoutOf(Table::kind()).importFirstText);
    const std::optional<QString> path = dialog.getOpenFileName(qtFilter(workbook::kImportFilter));
    if (!path)
        return;
    const auto show = [&window](const QString& text) { window.showStatus(text); };
    if (workbook::importTable(*path, table, show)) {
        window.historyOf(table).markSaved();
        window.setSourcePath(*path);
    }
}

template <typename Table>
void exportWorkbook(frmMain& window, const Table& table, FileDialog& dialog) {
    window.showStatus(workbook::kExportFirstText);
    const std::optional<QString> path = dialog.getSaveFileName(qtFilter(workbook::kExportFilter));
    if (!path)
        return;
    const auto show = [&window](const QString& text) { window.showStatus(text); };
    workbook::exportTable(*path, table, QDate::currentDate(), show);
}

template void importWorkbook(frmMain&, PluTable&, FileDialog&);
template void importWorkbook(frmMain&, IngredTable&, FileDialog&);
template void exportWorkbook(frmMain&, const PluTable&, FileDialog&);
template void exportWorkbook(frmMain&, const IngredTable&, FileDialog&);

} // namespace workbookmenu
