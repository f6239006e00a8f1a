#include "spreadsheet/CsvWriter.h"

#include "spreadsheet/CellText.h"
#include "spreadsheet/CsvFormula.h"
#include "spreadsheet/SheetLimits.h"

#include <algorithm>

namespace {

void appendCell(QString& out, const QString& text) {
    if (text.isEmpty() || celltext::exactNumber(text))
        out += text;
    else
        out += u'"' + csvformula::guarded(text).replace(u'"', QLatin1String("\"\"")) + u'"';
}

} // namespace

std::optional<QByteArray> csvBytes(const Sheet& sheet, QString* error) {
    // Keys sort row by row, column by column within a row.
    QList<quint32> keys = sheet.cells.keys();
    std::sort(keys.begin(), keys.end());
    for (quint32 key : keys) {
        if (Sheet::rowOf(key) >= kMaxSheetRows) {
            *error = QStringLiteral("a sheet holds at most %1 rows").arg(kMaxSheetRows);
            return std::nullopt;
        }
        if (sheet.cells[key].contains(QChar(0))) { // a reader takes a zero byte for binary data
            *error = QStringLiteral("the cell in row %1, column %2 holds a zero character, which "
                                    "a .csv file cannot carry")
                         .arg(Sheet::rowOf(key) + 1)
                         .arg(Sheet::colOf(key) + 1);
            return std::nullopt;
        }
    }
    // Each row ends after its last cell, so a sparse sheet stays as small as its cells.
    QString out;
    int row = 0;
    int col = 0;
    for (quint32 key : keys) {
        for (; row < Sheet::rowOf(key); ++row, col = 0)
            out += QLatin1String("\r\n");
        for (; col < Sheet::colOf(key); ++col)
            out += u',';
        appendCell(out, sheet.cells[key]);
    }
    if (!keys.isEmpty())
        out += QLatin1String("\r\n");
    return csvFileStart() + out.toUtf8();
}

QString csvLine(const QStringList& cells) {
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += u',';
        appendCell(line, cells[i]);
    }
    return line;
}
