#include "spreadsheet/CsvReader.h"

#include "spreadsheet/CsvFormula.h"
#include "spreadsheet/SheetLimits.h"
#include "tables/CodePage.h"

#include <QStringDecoder>

namespace {

WorkbookRead failure(const QString& error) {
    WorkbookRead read;
    read.error = error;
    return read;
}

bool hasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

std::optional<QString> decodeText(const QByteArray& file, QString* error) {
    if (file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(file.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                         : QStringConverter::Utf16BE);
        const QString text = utf16(QByteArrayView(file).sliced(2));
        if (utf16.hasError() || file.size() % 2 != 0 || hasLoneSurrogate(text) ||
            text.contains(QChar(0))) {
            *error = QStringLiteral("the file starts like UTF-16 text but is not valid UTF-16");
            return std::nullopt;
        }
        return text;
    }
    if (file.contains('\0')) {
        *error = QStringLiteral("the file holds zero bytes, so it is not a text (.csv) file");
        return std::nullopt;
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    if (file.startsWith("\xEF\xBB\xBF")) // says UTF-8: damaged sequences become U+FFFD
        return QString(utf8(QByteArrayView(file).sliced(3)));
    QString decoded = utf8(file);
    if (!utf8.hasError())
        return decoded;
    return codepage::decode(file); // not UTF-8: the single-byte page of the system
}

// Counts `separator` outside quotes, up to the end of the first row when `firstRow`.
qsizetype countOutsideQuotes(const QString& text, QChar separator, bool firstRow) {
    qsizetype count = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == separator)
            ++count;
        else if (!quoted && firstRow && (c == u'\n' || c == u'\r'))
            break;
    }
    return count;
}

QChar separatorOf(const QString& text) {
    for (const bool firstRow : {true, false}) {
        const qsizetype commas = countOutsideQuotes(text, u',', firstRow);
        const qsizetype semicolons = countOutsideQuotes(text, u';', firstRow);
        if (commas != semicolons)
            return semicolons > commas ? u';' : u',';
    }
    return u',';
}

// One pass over the text, cell by cell.
class CsvParser {
public:
    CsvParser(const QString& text, QChar separator, int maxCells)
        : text_(text), separator_(separator), maxCells_(maxCells) {}

    std::optional<Sheet> parse(QString* error) {
        Sheet sheet;
        sheet.name = QStringLiteral("Sheet1");
        while (at_ < text_.size()) {
            if (row_ >= kMaxSheetRows) {
                *error = QStringLiteral("the file has more than %1 rows").arg(kMaxSheetRows);
                return std::nullopt;
            }
            const auto cell = next(error);
            if (!cell)
                return std::nullopt;
            if (!cell->isEmpty() && col_ <= 0xFF) { // a sheet has 256 columns
                if (++cells_ > maxCells_) {
                    *error = QStringLiteral("the file has more than %1 cells").arg(maxCells_);
                    return std::nullopt;
                }
                sheet.setText(row_, col_, csvformula::unguarded(*cell));
            }
            endCell();
        }
        return sheet;
    }

private:
    // The cell at the cursor; the cursor is left on its separator or line end.
    std::optional<QString> next(QString* error) {
        if (text_[at_] != u'"') {
            const qsizetype start = at_;
            while (at_ < text_.size() && text_[at_] != separator_ && !lineEndAt(at_))
                ++at_;
            return text_.mid(start, at_ - start);
        }
        const qsizetype startLine = line_;
        QString cell;
        for (++at_;; ++at_) {
            if (at_ == text_.size()) {
                *error = QStringLiteral("the quoted cell that starts on line %1 is not closed")
                             .arg(startLine);
                return std::nullopt;
            }
            const QChar c = text_[at_];
            if (c == u'"') {
                if (at_ + 1 < text_.size() && text_[at_ + 1] == u'"') {
                    cell += u'"';
                    ++at_;
                    continue;
                }
                ++at_;
                break;
            }
            if (c == u'\n' || (c == u'\r' && (at_ + 1 == text_.size() || text_[at_ + 1] != u'\n')))
                ++line_;
            cell += c;
        }
        if (at_ < text_.size() && text_[at_] != separator_ && !lineEndAt(at_)) {
            *error = QStringLiteral("line %1: text follows the closing quote of a cell").arg(line_);
            return std::nullopt;
        }
        return cell;
    }

    // Steps over the separator or line end after a cell.
    void endCell() {
        if (at_ >= text_.size())
            return;
        if (text_[at_] == separator_) {
            ++at_;
            ++col_;
            return;
        }
        at_ += text_[at_] == u'\r' && at_ + 1 < text_.size() && text_[at_ + 1] == u'\n' ? 2 : 1;
        ++row_;
        ++line_;
        col_ = 0;
    }

    bool lineEndAt(qsizetype i) const { return text_[i] == u'\n' || text_[i] == u'\r'; }

    const QString& text_;
    const QChar separator_;
    const int maxCells_;
    qsizetype at_ = 0;
    int row_ = 0;
    int col_ = 0;
    qsizetype line_ = 1;
    int cells_ = 0;
};

} // namespace

WorkbookRead readCsv(const QByteArray& file, int maxCells) {
    QString error;
    const auto text = decodeText(file, &error);
    if (!text)
        return failure(error);
    WorkbookRead read;
    read.sheet = CsvParser(*text, separatorOf(*text), maxCells).parse(&error);
    read.error = error;
    return read;
}
