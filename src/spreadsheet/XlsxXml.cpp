#include "spreadsheet/XlsxXml.h"

#include "spreadsheet/CellText.h"
#include "spreadsheet/SheetLimits.h"

#include <QXmlStreamReader>

#include <charconv>
#include <cmath>

namespace xlsxxml {

namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The code of an escape "_xHHHH_" at `at`, or -1.
int escapeAt(const QString& text, qsizetype at) {
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_')
        return -1;
    int code = 0;
    for (int i = 2; i < 6; ++i) {
        const int digit = hexDigit(text[at + i]);
        if (digit < 0)
            return -1;
        code = code * 16 + digit;
    }
    return code;
}

bool needsEscape(const QString& text, qsizetype at) {
    const QChar c = text[at];
    const char16_t u = c.unicode();
    if (u < 0x20)
        return u != u'\t' && u != u'\n'; // a carriage return would be read back as a line feed
    if (u == 0xFFFE || u == 0xFFFF)
        return true;
    if (c.isHighSurrogate())
        return at + 1 >= text.size() || !text[at + 1].isLowSurrogate();
    if (c.isLowSurrogate())
        return at == 0 || !text[at - 1].isHighSurrogate();
    return u == u'_' && escapeAt(text, at) >= 0;
}

// The cell parts are read without namespace processing, which costs a fifth of the parse:
// an element is known by its name after any prefix ("x:c" is "c").
QStringView localName(const QXmlStreamReader& xml) {
    const QStringView name = xml.name();
    const qsizetype colon = name.lastIndexOf(u':');
    return colon < 0 ? name : name.sliced(colon + 1);
}

// A reader for the cell parts.
void prepare(QXmlStreamReader& xml) {
    xml.setNamespaceProcessing(false);
}

QString xmlError(const QXmlStreamReader& xml, const char* part) {
    return QStringLiteral("the %1 of the workbook is damaged (line %2: %3)")
        .arg(QLatin1String(part))
        .arg(xml.lineNumber())
        .arg(xml.errorString());
}

// The plain text of an <si> or <is> element, the reader on its start: the <t> elements
// directly inside it or inside its rich-text runs <r>, not those of phonetic hints <rPh>.
QString stringItem(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    int phonetic = 0; // depth inside <rPh>
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (localName(xml) == u"t" && phonetic == 0) {
                text += xml.readElementText(); // reads up to and including </t>
                continue;
            }
            ++depth;
            if (localName(xml) == u"rPh" || phonetic > 0)
                ++phonetic;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (phonetic > 0)
                --phonetic;
        }
    }
    return unescaped(text);
}

// "B12" -> row 11, column 1. Columns A..XFD, rows 1..1048576.
bool cellReference(QStringView ref, int* row, int* col) {
    qsizetype i = 0;
    int c = 0;
    while (i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z' && i < 3)
        c = c * 26 + (ref[i++].unicode() - u'A' + 1);
    if (i == 0 || i == ref.size() || c > 16384)
        return false;
    int r = 0;
    for (; i < ref.size(); ++i) {
        if (ref[i] < u'0' || ref[i] > u'9' || r > kMaxSheetRows)
            return false;
        r = r * 10 + (ref[i].unicode() - u'0');
    }
    if (r < 1 || r > kMaxSheetRows)
        return false;
    *row = r - 1;
    *col = c - 1;
    return true;
}

std::optional<QString> numberText(const QString& value) {
    const QByteArray latin = value.trimmed().toLatin1();
    double number = 0;
    const auto result =
        std::from_chars(latin.constData(), latin.constData() + latin.size(), number);
    if (latin.isEmpty() || result.ec != std::errc() ||
        result.ptr != latin.constData() + latin.size() || !std::isfinite(number))
        return std::nullopt;
    return celltext::plainDecimal(number);
}

struct Cell {
    QString type; // the t attribute: s, str, inlineStr, b, e, n (the default), d
    QString value;
    QString inlineText;
    bool hasValue = false;
};

// The cell's text as the .xls reader would give the same cell; nothing on damage.
std::optional<QString> cellText(const Cell& cell, const QStringList& shared, QString* error,
                                const QString& where) {
    if (cell.type == u"inlineStr")
        return cell.inlineText;
    if (!cell.hasValue || cell.value.isEmpty())
        return QString();
    if (cell.type == u"s") {
        bool ok = false;
        const int index = cell.value.trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= shared.size()) {
            *error = QStringLiteral("cell %1 refers to shared string %2 of %3")
                         .arg(where, cell.value)
                         .arg(shared.size());
            return std::nullopt;
        }
        return shared[index];
    }
    if (cell.type == u"str" || cell.type == u"d")
        return unescaped(cell.value);
    if (cell.type == u"e")
        return cell.value;
    if (cell.type == u"b")
        return cell.value.trimmed() == u"0" ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
    if (const auto number = numberText(cell.value))
        return *number;
    *error = QStringLiteral("cell %1 holds \"%2\" where a number belongs").arg(where, cell.value);
    return std::nullopt;
}

} // namespace

QString unescaped(const QString& text) {
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = escapeAt(text, i);
        if (code >= 0) {
            out += QChar(char16_t(code));
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (needsEscape(text, i))
            out += QStringLiteral("_x%1_").arg(
                QString::number(text[i].unicode(), 16).toUpper().rightJustified(4, u'0'));
        else
            out += text[i];
    }
    return out;
}

std::optional<QStringList> sharedStrings(const QByteArray& xml, QString* error) {
    QXmlStreamReader reader(xml);
    prepare(reader);
    QStringList strings;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || localName(reader) != u"si")
            continue;
        if (strings.size() >= kMaxSheetCells) {
            *error = QStringLiteral("the shared strings of the workbook are more than %1")
                         .arg(kMaxSheetCells);
            return std::nullopt;
        }
        strings.append(stringItem(reader));
    }
    if (reader.hasError()) {
        *error = xmlError(reader, "shared string table");
        return std::nullopt;
    }
    return strings;
}

bool worksheet(const QByteArray& xml, const QStringList& shared, Sheet& sheet, QString* error) {
    QXmlStreamReader reader(xml);
    prepare(reader);
    int row = -1;
    int col = -1;
    int cells = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (localName(reader) == u"row") {
            const QString number = reader.attributes().value(QLatin1String("r")).toString();
            bool ok = true;
            const int r = number.isEmpty() ? row + 2 : number.toInt(&ok);
            if (!ok || r < 1 || r > kMaxSheetRows) {
                *error = QStringLiteral("the worksheet names row \"%1\", which a sheet does not "
                                        "have")
                             .arg(number);
                return false;
            }
            row = r - 1;
            col = -1;
            continue;
        }
        if (localName(reader) != u"c")
            continue;
        // Copies: the attributes' views end with the element the reader is on.
        const QString ref = reader.attributes().value(QLatin1String("r")).toString();
        if (ref.isEmpty()) {
            row = qMax(row, 0);
            ++col;
        } else if (!cellReference(ref, &row, &col)) {
            *error = QStringLiteral("the worksheet names cell \"%1\", which a sheet does not "
                                    "have")
                         .arg(ref);
            return false;
        }
        Cell cell;
        cell.type = reader.attributes().value(QLatin1String("t")).toString();
        while (reader.readNextStartElement()) { // the cell's children: v, f, is
            if (localName(reader) == u"v") {
                cell.value = reader.readElementText();
                cell.hasValue = true;
            } else if (localName(reader) == u"is") {
                cell.inlineText = stringItem(reader);
            } else {
                reader.skipCurrentElement();
            }
        }
        if (reader.hasError())
            break;
        const QString where =
            ref.isEmpty() ? QStringLiteral("%1:%2").arg(row + 1).arg(col + 1) : ref;
        const auto text = cellText(cell, shared, error, where);
        if (!text)
            return false;
        if (col > 0xFF || text->isEmpty())
            continue; // past the columns these tables can have, as the .xls reader does
        if (++cells > kMaxSheetCells) {
            *error = QStringLiteral("the worksheet holds more than %1 cells").arg(kMaxSheetCells);
            return false;
        }
        sheet.setText(row, col, *text);
    }
    if (reader.hasError()) {
        *error = xmlError(reader, "first worksheet");
        return false;
    }
    return true;
}

} // namespace xlsxxml
