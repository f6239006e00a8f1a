#include "spreadsheet/BiffWriter.h"

#include "spreadsheet/BiffRecords.h"
#include "spreadsheet/BiffStringWriter.h"
#include "spreadsheet/CellText.h"
#include "spreadsheet/LittleEndian.h"

#include <QHash>
#include <QMap>
#include <QVector>

#include <algorithm>

namespace {

constexpr int kMaxRows = 65536;
constexpr int kMaxSheetName = 31;
constexpr quint16 kCellXf = 15; // the one cell format, after the 15 style formats
constexpr int kMaxColumnWidthChars = 255;
constexpr int kMaxCellChars = 32767;

void record(QByteArray& out, quint16 id, const QByteArray& body) {
    le::put16(out, id);
    le::put16(out, quint16(body.size()));
    out.append(body);
}

QByteArray bof(quint16 substream) {
    QByteArray body;
    le::put16(body, biff::kBiff8);
    le::put16(body, substream);
    le::put16(body, 0x0DBB); // build
    le::put16(body, 0x07CC); // year
    le::put32(body, 0);      // file history
    le::put32(body, 0x00000006);
    return body;
}

QByteArray window1() {
    QByteArray body;
    le::put16(body, 0);      // left, in twips
    le::put16(body, 0);      // top
    le::put16(body, 0x4000); // width
    le::put16(body, 0x2000); // height
    le::put16(body, 0x0038); // horizontal and vertical scroll bars, sheet tabs
    le::put16(body, 0);      // active sheet
    le::put16(body, 0);      // first visible tab
    le::put16(body, 1);      // selected sheets
    le::put16(body, 0x0258); // tab bar width ratio
    return body;
}

QByteArray font() {
    QByteArray body;
    le::put16(body, 200);    // 10 pt, in twentieths of a point
    le::put16(body, 0);      // no italic, strike-out ...
    le::put16(body, 0x7FFF); // automatic colour
    le::put16(body, 400);    // normal weight
    le::put16(body, 0);      // no super- or subscript
    le::put8(body, 0);       // no underline
    le::put8(body, 0);       // family
    le::put8(body, 0);       // character set
    le::put8(body, 0);
    body.append(biffstring::shortString(QStringLiteral("Arial")));
    return body;
}

QByteArray xf(bool style, bool first) {
    QByteArray body;
    le::put16(body, 0);                         // font
    le::put16(body, 0);                         // number format "General"
    le::put16(body, style ? 0xFFF5 : 0x0001);   // locked; style XFs: no parent
    le::put8(body, 0x20);                       // aligned to the bottom
    le::put8(body, 0);                          // rotation
    le::put8(body, 0);                          // indent
    le::put8(body, style && !first ? 0xF4 : 0); // attributes that differ from the parent
    le::put32(body, 0);                         // borders
    le::put32(body, 0);                         // border colours
    le::put16(body, 0x20C0);                    // pattern colours: automatic
    return body;
}

QByteArray boundSheet(const QString& name) {
    QByteArray body;
    le::put32(body, 0); // offset of the sheet's BOF, filled in once the globals are complete
    le::put8(body, 0);  // visible
    le::put8(body, 0);  // worksheet
    body.append(biffstring::shortString(name));
    return body;
}

QByteArray colInfo(int col, int widthChars) {
    QByteArray body;
    le::put16(body, quint16(col));
    le::put16(body, quint16(col));
    le::put16(body, quint16(widthChars * 256)); // in 1/256 of the width of a '0'
    le::put16(body, kCellXf);
    le::put16(body, 0); // visible, no outline
    le::put16(body, 0);
    return body;
}

QByteArray dimensions(int rows, int cols) {
    QByteArray body;
    le::put32(body, 0);
    le::put32(body, quint32(rows)); // last row + 1
    le::put16(body, 0);
    le::put16(body, quint16(cols)); // last column + 1
    le::put16(body, 0);
    return body;
}

QByteArray window2() {
    QByteArray body;
    le::put16(body, 0x06B6); // grid lines, headers, zeros, outline symbols, selected, shown
    le::put16(body, 0);      // top row
    le::put16(body, 0);      // left column
    le::put16(body, 0x40);   // automatic grid line colour
    le::put16(body, 0);
    le::put16(body, 0);
    le::put16(body, 0);
    le::put32(body, 0);
    return body;
}

QByteArray selectionA2() {
    QByteArray body;
    le::put8(body, 3);  // the only pane
    le::put16(body, 1); // active cell: row 2
    le::put16(body, 0); // column A
    le::put16(body, 0); // its range is the first one
    le::put16(body, 1); // one range: A2:A2
    le::put16(body, 1);
    le::put16(body, 1);
    le::put8(body, 0);
    le::put8(body, 0);
    return body;
}

QString validateName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxSheetName)
        return QStringLiteral("a sheet name must have 1 to %1 characters").arg(kMaxSheetName);
    for (QChar c : name) {
        if (QStringLiteral(":\\/?*[]").contains(c))
            return QStringLiteral("a sheet name cannot contain %1").arg(c);
    }
    return QString();
}

} // namespace

std::optional<QByteArray> writeBiffStream(const Sheet& sheet, QString* error) {
    *error = validateName(sheet.name);
    if (!error->isEmpty())
        return std::nullopt;

    QVector<quint32> keys = sheet.cells.keys().toVector();
    std::sort(keys.begin(), keys.end()); // rows ascending, columns ascending within a row
    int rows = 0;
    int cols = 0;
    QMap<int, int> widths; // column -> characters of its longest text
    QStringList strings;
    QHash<QString, quint32> stringIndex;
    quint32 labelCount = 0;
    QVector<std::optional<double>> numbers; // per key: the number the cell is stored as
    numbers.reserve(keys.size());
    for (quint32 key : keys) {
        const QString& text = sheet.cells[key];
        if (text.size() > kMaxCellChars) {
            *error = QStringLiteral("the cell in row %1, column %2 holds more than %3 characters")
                         .arg(Sheet::rowOf(key) + 1)
                         .arg(Sheet::colOf(key) + 1)
                         .arg(kMaxCellChars);
            return std::nullopt;
        }
        rows = qMax(rows, Sheet::rowOf(key) + 1);
        cols = qMax(cols, Sheet::colOf(key) + 1);
        widths[Sheet::colOf(key)] = qMax(widths.value(Sheet::colOf(key)), int(text.size()));
        numbers.append(celltext::exactNumber(text));
        if (numbers.last())
            continue;
        ++labelCount;
        if (!stringIndex.contains(text)) {
            stringIndex.insert(text, quint32(strings.size()));
            strings.append(text);
        }
    }
    if (rows > kMaxRows) {
        *error = QStringLiteral("a sheet holds at most %1 rows").arg(kMaxRows);
        return std::nullopt;
    }

    QByteArray out;
    record(out, biff::Bof, bof(biff::kGlobals));
    QByteArray codePage;
    le::put16(codePage, 1200); // texts are Unicode
    record(out, biff::CodePage, codePage);
    record(out, biff::Window1, window1());
    for (int i = 0; i < 5; ++i)
        record(out, biff::Font, font());
    for (int i = 0; i < 15; ++i)
        record(out, biff::Xf, xf(true, i == 0));
    record(out, biff::Xf, xf(false, false));
    record(out, biff::Style, QByteArray("\x00\x80\x00\xFF", 4)); // "Normal" on the first XF
    const qsizetype boundSheetAt = out.size() + 4;
    record(out, biff::BoundSheet, boundSheet(sheet.name));
    const QVector<QByteArray> sst = biffstring::sharedStringTable(strings, labelCount);
    for (qsizetype i = 0; i < sst.size(); ++i)
        record(out, i == 0 ? biff::Sst : biff::Continue, sst[i]);
    record(out, biff::Eof, QByteArray());
    le::set32(out, boundSheetAt, quint32(out.size()));

    record(out, biff::Bof, bof(biff::kWorksheet));
    for (auto it = widths.cbegin(); it != widths.cend(); ++it)
        record(out, biff::ColInfo, colInfo(it.key(), qMin(it.value() + 1, kMaxColumnWidthChars)));
    record(out, biff::Dimensions, dimensions(rows, cols));
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const quint32 key = keys[i];
        QByteArray body;
        le::put16(body, quint16(Sheet::rowOf(key)));
        le::put16(body, quint16(Sheet::colOf(key)));
        le::put16(body, kCellXf);
        if (const auto number = numbers[i]) {
            le::putF64(body, *number);
            record(out, biff::Number, body);
        } else {
            le::put32(body, stringIndex.value(sheet.cells[key]));
            record(out, biff::LabelSst, body);
        }
    }
    record(out, biff::Window2, window2());
    record(out, biff::Selection, selectionA2());
    record(out, biff::Eof, QByteArray());
    return out;
}
