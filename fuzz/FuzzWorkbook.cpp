// Feeds arbitrary bytes to the workbook reader and the import of both tables. Whatever the
// reader accepts is also written back and read again: the cells must survive unchanged.
#include "spreadsheet/WorkbookImport.h"
#include "spreadsheet/WorkbookReader.h"
#include "spreadsheet/WorkbookWriter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const WorkbookRead read = readWorkbook(bytes);
    if (!read.sheet)
        return 0;
    const workbook::StatusSink ignore = [](const QString&) {};
    workbook::importSheet(*read.sheet, pluKind(), QStringLiteral("fuzz.xls"), ignore);
    workbook::importSheet(*read.sheet, ingredKind(), QStringLiteral("fuzz.xls"), ignore);

    Sheet copy = *read.sheet;
    copy.name = QStringLiteral("Sheet1");
    QString error;
    const auto written = workbookBytes(copy, &error);
    if (!written)
        return 0; // more rows or longer texts than a written workbook may hold
    const WorkbookRead again = readWorkbook(*written);
    if (!again.sheet || again.sheet->cells != copy.cells)
        std::abort();
    return 0;
}
