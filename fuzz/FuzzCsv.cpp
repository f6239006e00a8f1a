// Feeds arbitrary bytes to the .csv reader and the import of both tables. Whatever the
// reader accepts is also written back and read again: the cells must survive unchanged.
#include "spreadsheet/CsvReader.h"
#include "spreadsheet/CsvWriter.h"
#include "spreadsheet/WorkbookImport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const WorkbookRead read = readCsv(bytes);
    if (!read.sheet)
        return 0;
    const workbook::StatusSink ignore = [](const QString&) {};
    workbook::importSheet(*read.sheet, pluKind(), QStringLiteral("fuzz.csv"), ignore);
    workbook::importSheet(*read.sheet, ingredKind(), QStringLiteral("fuzz.csv"), ignore);

    QString error;
    const auto written = csvBytes(*read.sheet, &error);
    if (!written)
        return 0;
    const WorkbookRead again = readCsv(*written);
    if (!again.sheet || again.sheet->cells != read.sheet->cells)
        std::abort();
    return 0;
}
