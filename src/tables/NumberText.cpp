#include "tables/NumberText.h"

#include "tables/ShownText.h"

#include <QRegularExpression>

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

// Sign, digits with an optional fraction (or a fraction alone), optional exponent.
const QRegularExpression& decimalPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    return pattern;
}

} // namespace

NumberConversion convertNumber(const QString& text, IntWidth width) {
    NumberConversion result;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !decimalPattern().match(trimmed).hasMatch()) {
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
