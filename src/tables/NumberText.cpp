#include "tables/NumberText.h"

#include "tables/ShownText.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Sign, digits with an optional fraction (or a fraction alone), optional exponent. Written
// out rather than as a regular expression: every numeric cell of an import passes here.
bool isDecimal(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && isDigit(text[i]))
            ++i;
        return i - start;
    };
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype whole = digits();
    qsizetype fraction = 0;
    if (i < n && text[i] == u'.') {
        ++i;
        fraction = digits();
    }
    if (whole == 0 && fraction == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

} // namespace

NumberConversion convertNumber(const QString& text, IntWidth width) {
    NumberConversion result;
    const QString trimmed = text.trimmed();
    if (!isDecimal(trimmed)) {
        result.error = QStringLiteral("\"%1\" is not a number").arg(shownText(text));
        return result;
    }
    bool parsed = false;
    const double number = trimmed.toDouble(&parsed);
    if (!parsed || !std::isfinite(number)) {
        result.error = QStringLiteral("\"%1\" is not a number").arg(shownText(text));
        return result;
    }
    // nearbyint rounds in the current mode, which is to-nearest with ties to even.
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(number);
    std::fesetround(savedMode);

    const double low = width == IntWidth::Int16 ? std::numeric_limits<qint16>::min()
                                                : std::numeric_limits<qint32>::min();
    const double high = width == IntWidth::Int16 ? std::numeric_limits<qint16>::max()
                                                 : std::numeric_limits<qint32>::max();
    if (rounded < low || rounded > high) {
        result.error = QStringLiteral("\"%1\" is out of range (%2 to %3)")
                           .arg(shownText(text))
                           .arg(qint64(low))
                           .arg(qint64(high));
        return result;
    }
    result.ok = true;
    result.value = static_cast<qint32>(rounded);
    return result;
}
