#include "spreadsheet/CsvWriter.h"

#include "spreadsheet/CellText.h"
#include "spreadsheet/CsvFormula.h"
#include "spreadsheet/SheetLimits.h"

namespace {

void appendCell(QString& out, const QString& text) {
    if (text.isEmpty() || celltext::exactNumber(text))
        out += text;
    else
        out += u'"' + csvformula::guarded(text).replace(u'"', QLatin1String("\"\"")) + u'"';
}

} // namespace

std::optional<QByteArray> csvBytes(const Sheet& sheet, QString* error) {
    int rows = 0;
    int cols = 0;
    for (auto it = sheet.cells.cbegin(); it != sheet.cells.cend(); ++it) {
        rows = qMax(rows, Sheet::rowOf(it.key()) + 1);
        cols = qMax(cols, Sheet::colOf(it.key()) + 1);
    }
    if (rows > kMaxSheetRows) {
        *error = QStringLiteral("a sheet holds at most %1 rows").arg(kMaxSheetRows);
        return std::nullopt;
    }
    for (auto it = sheet.cells.cbegin(); it != sheet.cells.cend(); ++it) {
        if (it.value().contains(QChar(0))) { // a reader takes a zero byte for binary data
            *error = QStringLiteral("the cell in row %1, column %2 holds a zero character, which "
                                    "a .csv file cannot carry")
                         .arg(Sheet::rowOf(it.key()) + 1)
                         .arg(Sheet::colOf(it.key()) + 1);
            return std::nullopt;
        }
    }
    QString out;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c > 0)
                out += u',';
            appendCell(out, sheet.text(r, c));
        }
        out += QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}
