#include "spreadsheet/WorkbookReader.h"

#include "spreadsheet/BiffReader.h"
#include "spreadsheet/CompoundFileReader.h"

#include "files/FileBytes.h"

namespace {

WorkbookRead failure(const QString& error) {
    WorkbookRead read;
    read.error = error;
    return read;
}

bool isOldBiff(const QByteArray& file) {
    // BIFF2 to BIFF4 files are a bare record stream starting with their BOF record.
    if (file.size() < 2 || file[0] != '\x09')
        return false;
    return file[1] == '\x00' || file[1] == '\x02' || file[1] == '\x04';
}

} // namespace

WorkbookRead readWorkbook(const QByteArray& file) {
    if (file.isEmpty())
        return failure(QStringLiteral("the file is empty"));
    if (file.startsWith("PK\x03\x04"))
        return failure(QStringLiteral("the file is a zip archive (such as an .xlsx workbook), "
                                      "not an .xls workbook"));
    if (isOldBiff(file))
        return failure(QStringLiteral("the workbook is in an old format (before 1995) that "
                                      "cannot be read; save it as .xls first"));
    if (!file.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return failure(QStringLiteral("the file is not an .xls workbook"));

    const CompoundFileReader container(file);
    if (!container.isValid())
        return failure(container.error());
    // "Workbook" holds BIFF8, "Book" the older BIFF5/7; a file may carry both.
    const QStringList names = container.streamNames();
    QString streamName;
    for (const QString& candidate : {QStringLiteral("Workbook"), QStringLiteral("Book")}) {
        if (names.contains(candidate, Qt::CaseInsensitive)) {
            streamName = candidate;
            break;
        }
    }
    if (streamName.isEmpty())
        return failure(QStringLiteral("the file is a compound document but holds no workbook"));
    QString error;
    const auto stream = container.stream(streamName, &error);
    if (!stream)
        return failure(error);
    WorkbookRead read;
    read.sheet = readBiffStream(*stream, &error);
    read.error = error;
    return read;
}
