#include "columnmap/MappedImport.h"

#include "columnmap/ScaledNumber.h"
#include "spreadsheet/WorkbookContainer.h"
#include "tables/CodePage.h"

#include <QStringDecoder>

namespace workbook {

namespace {

const QByteArray kUtf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");

// The bytes of a .csv as the map says they are encoded, handed on as UTF-8 with its mark
// (which the .csv reader takes for what it is). Workbooks say their own encoding.
std::optional<QByteArray> recoded(const QByteArray& file, MapEncoding encoding, QString* error) {
    if (encoding == MapEncoding::Detect || containerOf(file) != WorkbookContainer::Csv)
        return file;
    if (encoding == MapEncoding::Windows1252)
        return kUtf8Mark + codepage::decode(file).toUtf8();
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(file);
    if (utf8.hasError() || file.contains('\0')) {
        *error = QStringLiteral("it is not UTF-8 text, which the map says it is");
        return std::nullopt;
    }
    return file;
}

// The last row and column that hold a cell (-1 in an empty sheet).
struct Extent {
    int lastRow = -1;
    int lastColumn = -1;
};

Extent extentOf(const Sheet& sheet) {
    Extent extent;
    for (auto it = sheet.cells.keyBegin(); it != sheet.cells.keyEnd(); ++it) {
        extent.lastRow = qMax(extent.lastRow, Sheet::rowOf(*it));
        extent.lastColumn = qMax(extent.lastColumn, Sheet::colOf(*it));
    }
    return extent;
}

// Where each field's cells are, and what a message calls that column.
struct Column {
    int index = -1; // -1: the file has no such column; the field takes its default
    QString described;
};

QString columnName(int index, const QString& header) {
    const QString letters = QStringLiteral("column ") + columnLetters(index);
    return header.isEmpty() ? letters : letters + QStringLiteral(" (\"%1\")").arg(header);
}

// Finds the column of every mapped field; the problem when one cannot be found.
QString locateColumns(const Sheet& sheet, const ColumnMap& map, const Extent& extent,
                      QVector<Column>& columns) {
    const int headerRow = map.skipRows;
    columns.resize(map.fields.size());
    for (int f = 0; f < map.fields.size(); ++f) {
        const std::optional<ColumnRef>& ref = map.fields[f].column;
        if (!ref)
            continue;
        if (ref->header.isEmpty()) {
            if (ref->position - 1 > extent.lastColumn)
                return QStringLiteral("%1 is in column %2, but the file's rows end at column %3")
                    .arg(map.kind->fields[f].name, columnLetters(ref->position - 1),
                         columnLetters(qMax(0, extent.lastColumn)));
            columns[f] = {ref->position - 1, columnName(ref->position - 1, QString())};
            continue;
        }
        QList<int> found;
        for (int c = 0; c <= extent.lastColumn; ++c)
            if (sheet.text(headerRow, c).trimmed().compare(ref->header, Qt::CaseInsensitive) == 0)
                found.append(c);
        if (found.isEmpty())
            return QStringLiteral("sheet row %1 (the header row) has no column \"%2\" for %3")
                .arg(headerRow + 1)
                .arg(ref->header, map.kind->fields[f].name);
        if (found.size() > 1)
            return QStringLiteral("sheet row %1 (the header row) has \"%2\" in columns %3 and %4; "
                                  "the map cannot tell which one holds %5")
                .arg(headerRow + 1)
                .arg(ref->header, columnLetters(found[0]), columnLetters(found[1]),
                     map.kind->fields[f].name);
        columns[f] = {found[0], columnName(found[0], sheet.text(headerRow, found[0]).trimmed())};
    }
    return QString();
}

// One cell of the export as the cell of the table's own layout; the problem otherwise.
QString convertCell(const QString& cell, const FieldSpec& field, const FieldMapping& mapping,
                    const ScaledNumberFormat& format, QString& converted) {
    const bool number = field.kind != FieldKind::Text;
    if (cell.trimmed().isEmpty()) {
        if (mapping.defaultText) {
            converted = *mapping.defaultText;
            return QString();
        }
        // A price that is not there must not reach the scales as 0.
        if (number)
            return QStringLiteral("the cell is empty and the map gives no default");
        converted = cell;
        return QString();
    }
    if (!number) {
        converted = cell;
        return QString();
    }
    ScaledNumberFormat fieldFormat = format;
    fieldFormat.factor = mapping.factor;
    const NumberConversion value = convertScaledNumber(cell, fieldFormat, widthOf(field.kind));
    if (!value.ok)
        return value.error;
    converted = decimalText(value.value);
    return QString();
}

// The export's records as a sheet in the table's own layout; the problem otherwise.
QString translate(const Sheet& sheet, const ColumnMap& map, bool workbook, Sheet& out) {
    const TableKind& kind = *map.kind;
    const Extent extent = extentOf(sheet);
    QVector<Column> columns;
    const QString missing = locateColumns(sheet, map, extent, columns);
    if (!missing.isEmpty())
        return missing;
    // A workbook's number cells read in plain decimal, with a point, whatever the map says.
    ScaledNumberFormat format;
    format.separators = QString(map.decimalSeparator);
    if (workbook && map.decimalSeparator != u'.')
        format.separators += u'.';

    const Layout& layout = layoutOf(kind);
    for (int c = 0; c < layout.columns(); ++c)
        out.setText(0, c, layout.headers[c]);
    int count = 0;
    for (int r = map.skipRows + (map.headerRow ? 1 : 0); r <= extent.lastRow; ++r) {
        bool blank = true;
        for (const Column& column : columns)
            blank &= column.index < 0 || sheet.text(r, column.index).trimmed().isEmpty();
        if (blank)
            continue;
        if (++count > kind.dataRows)
            return QStringLiteral("sheet row %1: the file holds more than %2 rows, more than the "
                                  "%3 table holds")
                .arg(r + 1)
                .arg(kind.dataRows)
                .arg(kind.name);
        for (int f = 0; f < kind.fields.size(); ++f) {
            const Column& column = columns[f];
            const QString cell = column.index < 0 ? QString() : sheet.text(r, column.index);
            QString converted;
            const QString problem =
                convertCell(cell, kind.fields[f], map.fields[f], format, converted);
            if (!problem.isEmpty()) {
                const QString where =
                    column.index < 0 ? QString() : column.described + QStringLiteral(", ");
                return QStringLiteral("sheet row %1, %2%3: %4")
                    .arg(r + 1)
                    .arg(where, kind.fields[f].name, problem);
            }
            out.setText(count, f, converted);
        }
    }
    return QString();
}

} // namespace

std::optional<ImportedTable> importMapped(const QByteArray& file, const QString& fileName,
                                          const ColumnMap& map, const StatusSink& status) {
    QString problem;
    const std::optional<QByteArray> bytes = recoded(file, map.encoding, &problem);
    WorkbookRead read;
    if (bytes)
        read = readAnyWorkbook(*bytes);
    else
        read.error = problem;
    if (!read.sheet) {
        status(cannotImport(fileName, read.error));
        return std::nullopt;
    }
    Sheet translated;
    translated.name = read.sheet->name;
    problem = translate(*read.sheet, map, containerOf(file) != WorkbookContainer::Csv, translated);
    if (!problem.isEmpty()) {
        status(cannotImport(fileName, problem));
        return std::nullopt;
    }
    return importSheet(translated, *map.kind, fileName, status);
}

std::optional<ImportedTable> importMappedFile(const QString& path, const ColumnMap& map,
                                              const StatusSink& status) {
    status(kOpenText);
    const FileBytes file = readFileBytes(path, kWorkbookLimit);
    if (!file.error.isEmpty()) {
        status(cannotImport(path, file.error));
        return std::nullopt;
    }
    return importMapped(file.bytes, path, map, status);
}

} // namespace workbook
