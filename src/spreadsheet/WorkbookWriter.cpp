#include "spreadsheet/WorkbookWriter.h"

#include "spreadsheet/BiffWriter.h"
#include "spreadsheet/CompoundFileWriter.h"

#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(*bytes) != bytes->size() || !file.commit()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
