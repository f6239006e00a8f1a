#include "spreadsheet/WorkbookContainer.h"

#include "files/FileBytes.h"
#include "spreadsheet/CsvReader.h"
#include "spreadsheet/CsvWriter.h"
#include "spreadsheet/WorkbookWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/XlsxWriter.h"

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

std::optional<WorkbookContainer> containerOfExtension(const QString& extension) {
    const QString lower = extension.toLower();
    if (lower == QLatin1String("xls"))
        return WorkbookContainer::Xls;
    if (lower == QLatin1String("xlsx"))
        return WorkbookContainer::Xlsx;
    if (lower == QLatin1String("csv"))
        return WorkbookContainer::Csv;
    return std::nullopt;
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

WorkbookRead readWorkbookFile(const QString& path) {
    const FileBytes file = readFileBytes(path, kWorkbookLimit);
    if (!file.error.isEmpty())
        return {std::nullopt, file.error};
    return readAnyWorkbook(file.bytes);
}

std::optional<QByteArray> containerBytes(const Sheet& sheet, WorkbookContainer container,
                                         QString* error) {
    switch (container) {
    case WorkbookContainer::Xlsx:
        return xlsxBytes(sheet, error);
    case WorkbookContainer::Csv:
        return csvBytes(sheet, error);
    case WorkbookContainer::Xls:
        break;
    }
    return workbookBytes(sheet, error);
}

bool saveWorkbookAs(const QString& path, const Sheet& sheet, WorkbookContainer container,
                    QString* error) {
    const auto bytes = containerBytes(sheet, container, error);
    if (!bytes)
        return false;
    *error = writeFileAtomically(path, *bytes);
    return error->isEmpty();
}
