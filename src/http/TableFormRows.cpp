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
