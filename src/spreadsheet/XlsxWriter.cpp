#include "spreadsheet/XlsxWriter.h"

#include "files/FileBytes.h"
#include "spreadsheet/CNumericLocale.h"
#include "spreadsheet/CellText.h"
#include "spreadsheet/SheetLimits.h"
#include "spreadsheet/WorkbookReader.h"
#include "spreadsheet/XlsxXml.h"

#include <QMap>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxCellChars = 32767;
constexpr double kMaxColumnWidth = 255;

// The number a text is stored as: the .xls writer's rule, and only when the 16 significant
// digits libxlsxwriter writes give back the same double; otherwise the text is kept as text
// so that it reads back unchanged.
std::optional<double> storedNumber(const QString& text) {
    const auto number = celltext::exactNumber(text);
    if (!number || (*number == std::trunc(*number) && std::fabs(*number) < 1e15))
        return number; // whole numbers of up to 15 digits print exactly
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.16G", *number);
    if (std::strtod(printed, nullptr) != *number)
        return std::nullopt;
    return number;
}

QString cellName(quint32 key) {
    return QStringLiteral("the cell in row %1, column %2")
        .arg(Sheet::rowOf(key) + 1)
        .arg(Sheet::colOf(key) + 1);
}

QString libraryError(lxw_error code) {
    return QString::fromUtf8(lxw_strerror(code));
}

struct WorkbookHandle {
    lxw_workbook* workbook;
    ~WorkbookHandle() {
        if (workbook)
            workbook_close(workbook); // only after a failure: the success path closes it
    }
};

} // namespace

std::optional<QByteArray> xlsxBytes(const Sheet& sheet, QString* error) {
    QVector<quint32> keys = sheet.cells.keys().toVector();
    std::sort(keys.begin(), keys.end());
    for (quint32 key : keys) {
        if (Sheet::rowOf(key) >= kMaxSheetRows) {
            *error = QStringLiteral("a sheet holds at most %1 rows").arg(kMaxSheetRows);
            return std::nullopt;
        }
        if (sheet.cells[key].size() > kMaxCellChars) {
            *error = QStringLiteral("%1 holds more than %2 characters")
                         .arg(cellName(key))
                         .arg(kMaxCellChars);
            return std::nullopt;
        }
    }

    QTemporaryDir dir;
    if (!dir.isValid()) {
        *error = QStringLiteral("no temporary folder for the workbook: %1").arg(dir.errorString());
        return std::nullopt;
    }
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("workbook.xlsx")));
    QByteArray tmpdir = QFile::encodeName(dir.path());
    lxw_workbook_options options{};
    options.tmpdir = tmpdir.data();
    const CNumericLocale numbers;
    WorkbookHandle handle{workbook_new_opt(path.constData(), &options)};
    if (!handle.workbook) {
        *error = QStringLiteral("the workbook cannot be created");
        return std::nullopt;
    }
    const QByteArray name = sheet.name.toUtf8();
    const lxw_error nameError = workbook_validate_sheet_name(handle.workbook, name.constData());
    if (nameError != LXW_NO_ERROR) {
        *error = QStringLiteral("the sheet name \"%1\" cannot be stored: %2")
                     .arg(sheet.name, libraryError(nameError));
        return std::nullopt;
    }
    lxw_worksheet* worksheet = workbook_add_worksheet(handle.workbook, name.constData());
    if (!worksheet) {
        *error = QStringLiteral("the sheet name \"%1\" cannot be stored").arg(sheet.name);
        return std::nullopt;
    }

    QMap<int, int> widths; // column -> characters of its longest text
    for (quint32 key : keys) {
        const QString& text = sheet.cells[key];
        const auto row = lxw_row_t(Sheet::rowOf(key));
        const auto col = lxw_col_t(Sheet::colOf(key));
        lxw_error written;
        if (const auto number = storedNumber(text)) {
            written = worksheet_write_number(worksheet, row, col, *number, nullptr);
        } else {
            widths[col] = qMax(widths.value(col), int(text.size()));
            written = worksheet_write_string(worksheet, row, col,
                                             xlsxxml::escaped(text).toUtf8().constData(), nullptr);
        }
        if (written != LXW_NO_ERROR) {
            *error =
                QStringLiteral("%1 cannot be stored: %2").arg(cellName(key), libraryError(written));
            return std::nullopt;
        }
    }
    for (auto it = widths.cbegin(); it != widths.cend(); ++it)
        worksheet_set_column(worksheet, lxw_col_t(it.key()), lxw_col_t(it.key()),
                             qMin(kMaxColumnWidth, double(it.value())), nullptr);
    worksheet_set_selection(worksheet, 1, 0, 1, 0);

    const lxw_error closed = workbook_close(handle.workbook);
    handle.workbook = nullptr;
    if (closed != LXW_NO_ERROR) {
        *error = QStringLiteral("the workbook cannot be written: %1").arg(libraryError(closed));
        return std::nullopt;
    }
    FileBytes file = readFileBytes(QFile::decodeName(path), kWorkbookLimit);
    if (!file.error.isEmpty()) {
        *error = file.error;
        return std::nullopt;
    }
    return std::move(file.bytes);
}
