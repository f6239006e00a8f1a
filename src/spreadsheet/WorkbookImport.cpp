#include "spreadsheet/WorkbookImport.h"

#include "spreadsheet/WorkbookContainer.h"
#include "tables/ShownText.h"

#include <QDir>

namespace workbook {

namespace {

const QString kSixBlanks = QStringLiteral("      ");

// Fills the grid from the sheet; returns the number of data rows read.
qint16 readRows(const Sheet& sheet, const Layout& layout, QVector<QStringList>& cells,
                const StatusSink& status) {
    const int columns = layout.columns();
    qint16 count = 0;
    int finalRows = 0;
    for (int r = 1;; ++r) {
        QStringList& row = cells[r - 1];
        for (int c = 1; c <= columns; ++c)
            row[c] = sheet.text(r - 1, c - 1);
        status(layout.progressText + row[1] + kSixBlanks);
        row[0] = decimalText(r - 1);
        if (sheet.text(r - 1, 0).isEmpty()) {
            finalRows = r; // the ending row stays in the grid, unconverted
            break;
        }
        count = qint16(r - 1);
        if (r == layout.lastSheetRow) {
            finalRows = r + 1;
            break;
        }
    }
    cells.resize(finalRows);
    cells[0][0] = QStringLiteral("NO");
    return count;
}

} // namespace

QString columnLetters(int col) {
    QString letters;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters;
}

QString cannotImport(const QString& fileName, const QString& why) {
    return QStringLiteral("Cannot import %1: %2")
        .arg(shownText(QDir::toNativeSeparators(fileName)), why);
}

std::optional<ImportedTable> importSheet(const Sheet& sheet, const TableKind& kind,
                                         const QString& fileName, const StatusSink& status,
                                         ImportProblem* problem) {
    const Layout& layout = layoutOf(kind);
    const int columns = layout.columns();
    ImportedTable imported;
    imported.cells.resize(layout.gridRows);
    for (int r = 0; r < layout.gridRows; ++r) {
        QStringList& row = imported.cells[r];
        for (int c = 0; c <= columns; ++c)
            row.append(QString());
        if (r > 0)
            row[0] = decimalText(r);
    }
    status(kInitializingText);
    imported.count = readRows(sheet, layout, imported.cells, status);
    status(layout.countText + decimalText(imported.count));

    imported.numbers.resize(imported.count + 1);
    imported.texts.resize(imported.count + 1);
    for (int k = 1; k <= imported.count; ++k) {
        QStringList& row = imported.cells[k];
        imported.numbers[k].resize(columns);
        for (int c = 0; c < columns; ++c)
            imported.texts[k].append(QString());
        for (int c = 1; c <= columns; ++c) {
            const FieldSpec& field = kind.fields[c - 1];
            const bool text = field.kind == FieldKind::Text;
            if (c > 1 && row[c].isEmpty())
                row[c] = text ? layout.emptyText : layout.emptyNumber; // the operator sees it
            if (text) {
                imported.texts[k][c - 1] = row[c].left(layout.textCut);
                continue;
            }
            const NumberConversion number = convertNumber(row[c], widthOf(field.kind));
            if (!number.ok) {
                const QString where = QStringLiteral("sheet row %1, column %2: %3")
                                          .arg(k + 1)
                                          .arg(columnLetters(c - 1), number.error);
                status(cannotImport(fileName, where));
                if (problem)
                    *problem = ImportProblem{k, field.name, where};
                return std::nullopt;
            }
            imported.numbers[k][c - 1] = number.value;
        }
    }
    return imported;
}

std::optional<ImportedTable> importFile(const QString& path, const TableKind& kind,
                                        const StatusSink& status) {
    status(kOpenText);
    const WorkbookRead read = readWorkbookFile(path);
    if (!read.sheet) {
        status(cannotImport(path, read.error));
        return std::nullopt;
    }
    return importSheet(*read.sheet, kind, path, status);
}

} // namespace workbook
