#include "spreadsheet/WorkbookContainer.h"

#include "spreadsheet/CsvReader.h"
#include "spreadsheet/XlsxReader.h"

WorkbookContainer containerOf(QByteArrayView firstBytes) {
    if (firstBytes.startsWith("PK\x03\x04"))
        return WorkbookContainer::Xlsx;
    if (firstBytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return WorkbookContainer::Xls;
    // BIFF2 to BIFF4 files start with their BOF record; the .xls reader explains them.
    if (firstBytes.size() >= 2 && firstBytes[0] == '\x09' &&
        (firstBytes[1] == '\x00' || firstBytes[1] == '\x02' || firstBytes[1] == '\x04'))
        return WorkbookContainer::Xls;
    return WorkbookContainer::Csv;
}

WorkbookRead readAnyWorkbook(const QByteArray& file) {
    if (file.isEmpty())
        return readWorkbook(file); // "the file is empty"
    switch (containerOf(file)) {
    case WorkbookContainer::Xlsx:
        return readXlsx(file);
    case WorkbookContainer::Csv:
        return readCsv(file);
    case WorkbookContainer::Xls:
        break;
    }
    return readWorkbook(file);
}
