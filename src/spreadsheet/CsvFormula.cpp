#include "spreadsheet/CsvFormula.h"

namespace csvformula {

namespace {

// Apostrophes, then a character that starts a formula (or a command in some programs).
bool formulaShaped(const QString& text, qsizetype apostrophes) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    if (i < apostrophes || i == text.size())
        return false;
    const QChar c = text[i];
    return c == u'=' || c == u'+' || c == u'-' || c == u'@';
}

} // namespace

QString guarded(const QString& text) {
    return formulaShaped(text, 0) ? QLatin1Char('\'') + text : text;
}

QString unguarded(const QString& text) {
    return formulaShaped(text, 1) ? text.mid(1) : text;
}

} // namespace csvformula
