#include "spreadsheet/WorkbookWriter.h"

#include "files/FileBytes.h"
#include "spreadsheet/BiffWriter.h"
#include "spreadsheet/CompoundFileWriter.h"

std::optional<QByteArray> workbookBytes(const Sheet& sheet, QString* error) {
    const auto stream = writeBiffStream(sheet, error);
    if (!stream)
        return std::nullopt;
    auto file = writeCompoundFile(*stream);
    if (!file)
        *error = QStringLiteral("the workbook is too large");
    return file;
}

bool saveWorkbook(const QString& path, const Sheet& sheet, QString* error) {
    const auto bytes = workbookBytes(sheet, error);
    if (!bytes)
        return false;
    *error = writeFileAtomically(path, *bytes);
    return error->isEmpty();
}
