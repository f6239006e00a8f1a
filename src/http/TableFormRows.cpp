#include "http/TableFormRows.h"

#include "files/TableFileFormat.h"
#include "spreadsheet/CsvReader.h"
#include "spreadsheet/WorkbookImport.h"
#include "spreadsheet/XlsxReader.h"

#include <memory>

namespace {

WorkbookRead readSheet(const QByteArray& body, BodyForm form) {
    switch (form) {
    case BodyForm::Csv:
        return readCsv(body);
    case BodyForm::Xlsx:
        return readXlsx(body);
    default:
        return readWorkbook(body);
    }
}

QString formName(BodyForm form) {
    switch (form) {
    case BodyForm::Csv:
        return QStringLiteral(".csv file");
    case BodyForm::Xlsx:
        return QStringLiteral(".xlsx workbook");
    default:
        return QStringLiteral(".xls workbook");
    }
}

QString columnName(int column) {
    const QString letter(QChar(u'A' + column % 26));
    return column < 26 ? letter : QString(QChar(u'A' + column / 26 - 1)) + letter;
}

// The import takes the table's columns and leaves the rest of a row. A data row with a value
// beyond them, such as a price written "3,49" in a .csv, has had its values shifted into the
// next columns; it is refused rather than sent shifted.
std::optional<RequestProblem> beyondTheColumns(const Sheet& sheet, int rows,
                                               const TableKind& kind) {
    const int columns = kind.workbook.columns();
    int firstRow = rows + 1;
    int column = 0;
    for (auto it = sheet.cells.cbegin(); it != sheet.cells.cend(); ++it) {
        const int row = Sheet::rowOf(it.key()); // data row `row` is sheet row row + 1
        if (row >= 1 && row < firstRow && Sheet::colOf(it.key()) >= columns &&
            !it.value().trimmed().isEmpty()) {
            firstRow = row;
            column = Sheet::colOf(it.key());
        }
    }
    if (firstRow > rows)
        return std::nullopt;
    return RequestProblem{422,
                          QStringLiteral("sheet row %1 has a value in column %2, beyond the "
                                         "table's %3 columns")
                              .arg(firstRow + 1)
                              .arg(columnName(column))
                              .arg(columns),
                          firstRow};
}

template <typename Record> FormRows<Record> fromTableFile(const QByteArray& body) {
    FormRows<Record> result;
    ParsedTableFile<Record> parsed = parseTableFile<Record>(body);
    if (!parsed.ok())
        result.problem = RequestProblem{422, parsed.error, parsed.errorLine, parsed.errorField};
    result.rows = std::move(parsed.records);
    return result;
}

template <typename Record> FormRows<Record> fromWorkbook(const QByteArray& body, BodyForm form) {
    FormRows<Record> result;
    const WorkbookRead read = readSheet(body, form);
    if (!read.sheet) {
        result.problem = RequestProblem{
            400,
            QStringLiteral("the body is not a readable %1: %2").arg(formName(form), read.error)};
        return result;
    }
    workbook::ImportProblem problem;
    const auto imported = workbook::importSheet(
        *read.sheet, Record::kind(), QString(), [](const QString&) {}, &problem);
    if (!imported) {
        result.problem = RequestProblem{422, problem.text, problem.row, problem.field};
        return result;
    }
    if (auto wide = beyondTheColumns(*read.sheet, imported->count, Record::kind())) {
        result.problem = wide;
        return result;
    }
    // The import fills a table as the window's does; the rows are its records.
    auto table = std::make_unique<Table<Record>>();
    workbook::placeImport(*imported, *table);
    result.rows.assign(table->records.begin() + 1, table->records.begin() + 1 + table->count);
    return result;
}

} // namespace

template <typename Record>
FormRows<Record> rowsFromTableForm(const QByteArray& body, BodyForm form) {
    FormRows<Record> result = form == BodyForm::TableFile ? fromTableFile<Record>(body)
                                                          : fromWorkbook<Record>(body, form);
    if (!result.problem && result.rows.empty())
        result.problem = RequestProblem{422, QStringLiteral("the body holds no rows")};
    return result;
}

#define INSTANTIATE(T)                                                                             \
    template FormRows<T::RecordType> rowsFromTableForm<T::RecordType>(const QByteArray&, BodyForm);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)
