#include "app/WorkbookMenu.h"

#include "spreadsheet/WorkbookLayout.h"

namespace workbookmenu {

const QVector<Format>& formats() {
    static const QString xlsxFilter =
        QStringLiteral("Excel Workbook (*.xlsx)|*.XLSX|ALL File (*.*) |*.*");
    static const QString csvFilter = QStringLiteral("CSV File (*.csv)|*.CSV|ALL File (*.*) |*.*");
    static const QVector<Format> all{
        {WorkbookContainer::Xls, QStringLiteral("Excel File( *.XLS)"), workbook::kImportFilter,
         workbook::kExportFilter},
        {WorkbookContainer::Xlsx, QStringLiteral("Excel Workbook (*.xlsx)"), xlsxFilter,
         xlsxFilter},
        {WorkbookContainer::Csv, QStringLiteral("CSV File (*.csv)"), csvFilter, csvFilter},
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

} // namespace workbookmenu
