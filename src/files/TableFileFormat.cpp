#include "files/TableFileFormat.h"

#include "tables/CodePage.h"
#include "tables/ShownText.h"
#include "tables/Table.h"

#include <QByteArrayView>
#include <QRegularExpression>

#include <limits>
#include <optional>

namespace {

constexpr char kComma = ',';
constexpr char kQuote = '"';

// A piece of a bad line as it appears in a message: decoded, with control bytes escaped, and
// cut when very long so the text stays readable in the status panel.
QString shown(QByteArrayView bytes) {
    constexpr qsizetype kMaxShown = 40;
    const QString text =
        shownText(codepage::decode(bytes.first(qMin(bytes.size(), kMaxShown)).toByteArray()));
    return QStringLiteral("\"%1%2\"")
        .arg(text, bytes.size() > kMaxShown ? QStringLiteral("...") : QString());
}

bool isPlainInteger(QByteArrayView token) {
    qsizetype i = token.startsWith('-') ? 1 : 0;
    if (i == token.size())
        return false;
    for (; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9')
            return false;
    }
    return true;
}

struct FieldValue {
    std::optional<qint32> number;
    QString problem; // set when there is no value
};

// Sign, digits with an optional fraction (or a fraction alone), optional exponent.
bool looksDecimal(QByteArrayView text) {
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    return pattern.match(QString::fromLatin1(text)).hasMatch();
}

// What keeps a token that is not a plain integer from being one, in the words of a status
// text, e.g. "\"+5\" has a plus sign, which is not allowed".
QString notPlainInteger(QByteArrayView token) {
    QByteArrayView core = token;
    while (core.startsWith(' '))
        core = core.sliced(1);
    while (core.endsWith(' '))
        core.chop(1);
    QString why;
    if (!looksDecimal(core))
        why = QStringLiteral(" is not a number");
    else if (core.size() != token.size())
        why = QStringLiteral(" has blanks around it, which are not allowed");
    else if (core.startsWith('+'))
        why = QStringLiteral(" has a plus sign, which is not allowed");
    else if (core.contains('e') || core.contains('E'))
        why = QStringLiteral(" has an exponent, which is not allowed");
    else
        why = QStringLiteral(" is not an integer");
    return shown(token) + why;
}

// A number field holds an integer as Save writes it: an optional minus sign and digits.
// Anything else is refused rather than read as a number: a fraction would have to be rounded,
// and "+5", "1e3" or " 5" mean the file was not written by Save, so guessing could change
// the data without a word.
FieldValue numberField(QByteArrayView token, FieldKind kind) {
    FieldValue result;
    if (!isPlainInteger(token)) {
        result.problem = notPlainInteger(token);
        return result;
    }
    const qint64 low = kind == FieldKind::Int16 ? std::numeric_limits<qint16>::min()
                                                : std::numeric_limits<qint32>::min();
    const qint64 high = kind == FieldKind::Int16 ? std::numeric_limits<qint16>::max()
                                                 : std::numeric_limits<qint32>::max();
    bool fits = false;
    const qint64 value = token.toByteArray().toLongLong(&fits);
    if (!fits || value < low || value > high) {
        result.problem =
            QStringLiteral("%1 is out of range (%2 to %3)").arg(shown(token)).arg(low).arg(high);
        return result;
    }
    result.number = qint32(value);
    return result;
}

// The problem of a line, and in `field` the field it lies in.
template <typename Record> QString parseLine(QByteArrayView line, Record& record, QString& field) {
    const QVector<FieldSpec>& fields = Record::kind().fields;
    qsizetype pos = 0;
    for (int f = 0; f < fields.size(); ++f) {
        field = fields[f].name;
        const QString where = QStringLiteral(", %1: ").arg(fields[f].name);
        if (f > 0) {
            if (pos == line.size())
                return where + QStringLiteral("missing");
            ++pos; // the comma; every field below ends at a comma or at the line's end
        }
        if (fields[f].kind == FieldKind::Text) {
            qsizetype end = line.indexOf(kComma, pos);
            if (end < 0)
                end = line.size();
            if (pos == line.size() || line[pos] != kQuote)
                return where + shown(line.sliced(pos, end - pos)) +
                       QStringLiteral(" is not in double quotes");
            const qsizetype close = line.indexOf(kQuote, pos + 1);
            if (close < 0)
                return where + QStringLiteral("no closing double quote");
            record.setText(f,
                           codepage::decode(line.sliced(pos + 1, close - pos - 1).toByteArray()));
            pos = close + 1;
            if (pos < line.size() && line[pos] != kComma)
                return where +
                       QStringLiteral("unexpected characters after the closing double quote");
        } else {
            qsizetype end = line.indexOf(kComma, pos);
            if (end < 0)
                end = line.size();
            const FieldValue value = numberField(line.sliced(pos, end - pos), fields[f].kind);
            if (!value.number)
                return where + value.problem;
            record.setNumber(f, *value.number);
            pos = end;
        }
    }
    field.clear();
    if (pos < line.size())
        return QStringLiteral(": more than %1 fields").arg(fields.size());
    return QString();
}

} // namespace

template <typename Record> ParsedTableFile<Record> parseTableFile(const QByteArray& bytes) {
    ParsedTableFile<Record> result;
    const int maxRecords = Record::kind().dataRows;
    const QByteArrayView all(bytes);
    qsizetype start = 0;
    int lineNo = 0;
    while (start < all.size()) {
        ++lineNo;
        qsizetype end = all.indexOf('\n', start);
        qsizetype next = end + 1;
        if (end < 0) // the last line without a line end
            end = next = all.size();
        else if (end > start && all[end - 1] == '\r')
            --end;
        const QByteArrayView line = all.sliced(start, end - start);
        start = next;

        const QString at = QStringLiteral("line %1").arg(lineNo);
        result.errorLine = lineNo;
        if (lineNo > maxRecords) {
            result.error = at + QStringLiteral(": more than %1 records").arg(maxRecords);
            break;
        }
        if (line.isEmpty()) {
            result.error = at + QStringLiteral(" is empty");
            break;
        }
        Record record;
        const QString problem = parseLine(line, record, result.errorField);
        if (!problem.isEmpty()) {
            result.error = at + problem;
            break;
        }
        result.records.push_back(record);
    }
    if (result.ok()) {
        result.errorLine = 0;
        result.errorField.clear();
    } else {
        result.records.clear();
    }
    return result;
}

template <typename Record> FormattedTableFile formatTableFile(std::span<const Record> records) {
    FormattedTableFile result;
    const QVector<FieldSpec>& fields = Record::kind().fields;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& record = records[i];
        for (int f = 0; f < fields.size(); ++f) {
            if (f > 0)
                result.bytes += kComma;
            if (fields[f].kind != FieldKind::Text) {
                result.bytes += QByteArray::number(record.number(f));
                continue;
            }
            const QString text = record.text(f);
            const QString problem = textStorageProblem(text);
            if (!problem.isEmpty()) {
                result.error =
                    QStringLiteral("record %1, %2: %3").arg(i + 1).arg(fields[f].name, problem);
                result.bytes.clear();
                return result;
            }
            result.bytes += kQuote;
            result.bytes += *codepage::encode(text);
            result.bytes += kQuote;
        }
        result.bytes += "\r\n";
    }
    return result;
}

QString textStorageProblem(const QString& text) {
    if (text.contains(QLatin1Char(kQuote)))
        return QStringLiteral("a double quote cannot be stored in the file");
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return QStringLiteral("a line break cannot be stored in the file");
    qsizetype bad = 0;
    if (!codepage::canEncode(text, &bad)) {
        // Show the whole character, also when it takes two UTF-16 units.
        const qsizetype length = text.at(bad).isHighSurrogate() && bad + 1 < text.size() ? 2 : 1;
        return QStringLiteral("\"%1\" cannot be stored in the file (not in Windows-1252)")
            .arg(text.mid(bad, length));
    }
    return QString();
}

#define INSTANTIATE(T)                                                                             \
    template ParsedTableFile<T::RecordType> parseTableFile<T::RecordType>(const QByteArray&);      \
    template FormattedTableFile formatTableFile<T::RecordType>(std::span<const T::RecordType>);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)
