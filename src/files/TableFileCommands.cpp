#include "files/TableFileCommands.h"

#include "files/FileBytes.h"
#include "files/TableFileFormat.h"
#include "tables/InnerEmptyRow.h"
#include "tables/ShownText.h"

#include <QDir>

#include <span>
#include <vector>

namespace {

// A line break in a file name would split the status text; see shownText().
QString shownPath(const QString& path) {
    return QStringLiteral("\"%1\"").arg(shownText(QDir::toNativeSeparators(path)));
}

// The conversion of one data cell into its record field, as the copy step of Save does it.
// Returns the reason when the cell cannot become the field's value.
template <typename Record> QString copyCell(const QString& cell, int field, Record& record) {
    const FieldSpec& fieldSpec = Record::kind().fields[field];
    if (fieldSpec.kind == FieldKind::Text) {
        // An empty text is kept as one blank, so no text field in the file is empty.
        const QString text = cell.isEmpty() ? QStringLiteral(" ") : cell;
        const QString problem = textStorageProblem(text);
        if (!problem.isEmpty())
            return problem;
        record.setText(field, text);
        return QString();
    }
    if (cell.isEmpty()) {
        record.setNumber(field, 0);
        return QString();
    }
    const NumberConversion number = convertNumber(cell, widthOf(fieldSpec.kind));
    if (!number.ok)
        return number.error;
    record.setNumber(field, number.value);
    return QString();
}

} // namespace

template <typename Record, int N> QString newTable(Table<Record, N>& table) {
    table.reset();
    table.count = 0;
    return countText(table);
}

template <typename Record, int N>
OpenResult openTable(Table<Record, N>& table, const QString& path) {
    OpenResult result;
    const QString failed = QStringLiteral("Cannot open %1: ").arg(shownPath(path));
    const FileBytes file = readFileBytes(path);
    if (!file.error.isEmpty()) {
        result.status = failed + file.error;
        return result;
    }
    const ParsedTableFile<Record> parsed = parseTableFile<Record>(file.bytes);
    if (!parsed.ok()) {
        result.status = failed + parsed.error;
        return result;
    }

    // The file is good: only now is the table replaced. The reset gives the full row count,
    // the format, numbered empty rows and cleared records beyond the file's.
    table.reset();
    const QVector<FieldSpec>& fields = Record::kind().fields;
    QVector<QStringList> cells = table.grid.all();
    for (std::size_t i = 0; i < parsed.records.size(); ++i) {
        const int row = int(i) + 1;
        const Record& read = parsed.records[i];
        Record& record = table.records[row];
        for (int f = 0; f < fields.size(); ++f) {
            if (fields[f].kind == FieldKind::Text) {
                record.setText(f, read.text(f));
                cells[row][f + 1] = read.text(f);
            } else {
                record.setNumber(f, read.number(f));
                cells[row][f + 1] = decimalText(read.number(f));
            }
        }
    }
    table.grid.setAll(cells);
    table.count = qint16(parsed.records.size());
    result.ok = true;
    result.status = countText(table);
    return result;
}

template <typename Record, int N> CopyResult copyGridToRecords(Table<Record, N>& table) {
    CopyResult result;
    const TableKind& kind = Record::kind();
    const int zeroFilled = kind.file.zeroFilledColumn;
    // A spreadsheet import may leave fewer rows; every row the copy addresses must exist.
    if (table.grid.rows() < Table<Record, N>::kRowLimit)
        table.grid.setRows(Table<Record, N>::kRowLimit);
    if (const std::optional<InnerEmptyRow> inner = findInnerEmptyRow(table.grid, kind)) {
        result.status = inner->status;
        result.row = inner->row;
        result.column = 1;
        return result;
    }

    // Check and convert every row into copies first; the table changes only if all is well.
    std::vector<Record> copied;
    for (int row = 1; row <= N; ++row) {
        if (table.grid.text(row, 1).isEmpty())
            break;
        Record record = table.records[row]; // keeps what the file does not hold
        for (int f = 0; f < kind.fields.size(); ++f) {
            const int column = f + 1;
            QString cell = table.grid.text(row, column);
            if (column == zeroFilled && cell.isEmpty())
                cell = QStringLiteral("0");
            const QString problem = copyCell(cell, f, record);
            if (!problem.isEmpty()) {
                result.status = QStringLiteral("Cannot save: row %1, %2: %3")
                                    .arg(row)
                                    .arg(kind.fields[f].title(), problem);
                result.row = row;
                result.column = column;
                return result;
            }
        }
        copied.push_back(record);
    }

    for (std::size_t i = 0; i < copied.size(); ++i) {
        const int row = int(i) + 1;
        table.records[row] = copied[i];
        if (zeroFilled > 0 && table.grid.text(row, zeroFilled).isEmpty())
            table.grid.setText(row, zeroFilled, QStringLiteral("0"));
    }
    table.count = qint16(copied.size());
    result.ok = true;
    return result;
}

template <typename Record, int N>
SaveResult saveRecords(const Table<Record, N>& table, const QString& path) {
    SaveResult result;
    const QString failed = QStringLiteral("Cannot save %1: ").arg(shownPath(path));
    const FormattedTableFile file = formatTableFile<Record>(
        std::span<const Record>(table.records.data() + 1, std::size_t(table.count)));
    if (!file.ok()) {
        result.status = failed + file.error;
        return result;
    }
    const QString error = writeFileAtomically(path, file.bytes);
    if (!error.isEmpty()) {
        result.status = failed + error;
        return result;
    }
    result.ok = true;
    result.status = Record::kind().file.savedCountText + decimalText(table.count);
    return result;
}

#define INSTANTIATE(T)                                                                             \
    template QString newTable(T&);                                                                 \
    template OpenResult openTable(T&, const QString&);                                             \
    template CopyResult copyGridToRecords(T&);                                                     \
    template SaveResult saveRecords(const T&, const QString&);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)
