// The Windows build has no .xlsx workbooks: the libraries that unpack and write them
// (minizip, libxlsxwriter) come from Debian, which has none for MinGW. Both directions say
// so and name the forms that work everywhere.

#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/XlsxWriter.h"

WorkbookRead readXlsx(const QByteArray&) {
    return {std::nullopt, QStringLiteral("it is an .xlsx workbook, which this Windows build "
                                         "cannot read; save it as .xls or .csv")};
}

std::optional<QByteArray> xlsxBytes(const Sheet&, QString* error) {
    if (error)
        *error = QStringLiteral("this Windows build cannot write .xlsx workbooks; choose .xls "
                                "or .csv");
    return std::nullopt;
}
