// Feeds arbitrary bytes to the .xlsx reader (zip container and XML parts) and the import of
// both tables. Whatever the reader accepts is also written back and read again: the cells
// must survive unchanged.
#include "spreadsheet/WorkbookImport.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/XlsxWriter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const WorkbookRead read = readXlsx(bytes);
    if (!read.sheet)
        return 0;
    const workbook::StatusSink ignore = [](const QString&) {};
    workbook::importSheet(*read.sheet, pluKind(), QStringLiteral("fuzz.xlsx"), ignore);
    workbook::importSheet(*read.sheet, ingredKind(), QStringLiteral("fuzz.xlsx"), ignore);

    Sheet copy = *read.sheet;
    copy.name = QStringLiteral("Sheet1");
    QString error;
    const auto written = xlsxBytes(copy, &error);
    if (!written)
        return 0; // longer texts than a written workbook may hold
    const WorkbookRead again = readXlsx(*written);
    if (!again.sheet || again.sheet->cells != copy.cells)
        std::abort();
    return 0;
}
