#include "columnmap/ScaledNumber.h"

#include "tables/ShownText.h"

#include <limits>
#include <optional>

namespace {

// A decimal as its digits: "-12,5" is negative, whole "12", fraction "5".
struct Decimal {
    bool negative = false;
    QString whole;
    QString fraction;
};

std::optional<Decimal> readDecimal(const QString& text, const QString& separators) {
    const QString trimmed = text.trimmed();
    Decimal decimal;
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == u'-' || trimmed[i] == u'+'))
        decimal.negative = trimmed[i++] == u'-';
    bool separatorSeen = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c >= u'0' && c <= u'9')
            (separatorSeen ? decimal.fraction : decimal.whole).append(c);
        else if (!separatorSeen && separators.contains(c))
            separatorSeen = true;
        else
            return std::nullopt;
    }
    if (decimal.whole.isEmpty() && decimal.fraction.isEmpty())
        return std::nullopt;
    return decimal;
}

int decimalPlaces(qint32 factor) {
    int places = 0;
    for (qint32 f = factor; f > 1; f /= 10)
        ++places;
    return places;
}

// Halves to the even neighbour: `rest` (the digits past the last one kept) rounds up when it
// is more than half, and exactly half only when `magnitude` is odd.
qint64 roundedHalfToEven(qint64 magnitude, const QString& rest) {
    if (rest.isEmpty() || rest[0] < u'5')
        return magnitude;
    bool pastHalf = rest[0] > u'5';
    for (qsizetype k = 1; k < rest.size(); ++k)
        pastHalf |= rest[k] != u'0';
    return pastHalf || magnitude % 2 != 0 ? magnitude + 1 : magnitude;
}

NumberConversion failure(const QString& error) {
    NumberConversion result;
    result.error = error;
    return result;
}

} // namespace

bool isDecimalFactor(qint64 factor) {
    for (qint64 power = 1; power <= 1000000; power *= 10)
        if (factor == power)
            return true;
    return false;
}

NumberConversion convertScaledNumber(const QString& text, const ScaledNumberFormat& format,
                                     IntWidth width) {
    const std::optional<Decimal> decimal = readDecimal(text, format.separators);
    if (!decimal)
        return failure(QStringLiteral("\"%1\" is not a number").arg(shownText(text)));

    // The factor moves the separator: that many digits of the fraction join the whole part,
    // the rest only decide the rounding.
    const int places = decimalPlaces(format.factor);
    const QString fraction = decimal->fraction.leftJustified(places, u'0');
    QString digits = decimal->whole + fraction.left(places);
    while (digits.size() > 1 && digits.startsWith(u'0'))
        digits.remove(0, 1);

    const qint64 low = width == IntWidth::Int16 ? std::numeric_limits<qint16>::min()
                                                : std::numeric_limits<qint32>::min();
    const qint64 high = width == IntWidth::Int16 ? std::numeric_limits<qint16>::max()
                                                 : std::numeric_limits<qint32>::max();
    // Twelve digits are far past any field's range and still far inside 64 bits.
    constexpr qint64 kPastEveryRange = qint64(1) << 40;
    const qint64 magnitude = digits.size() > 12
                                 ? kPastEveryRange
                                 : roundedHalfToEven(digits.toLongLong(), fraction.mid(places));
    const qint64 value = decimal->negative ? -magnitude : magnitude;
    if (value < low || value > high) {
        const QString times =
            format.factor == 1 ? QString() : QStringLiteral(" times %1").arg(format.factor);
        return failure(QStringLiteral("\"%1\"%2 is out of range (%3 to %4)")
                           .arg(shownText(text), times)
                           .arg(low)
                           .arg(high));
    }
    NumberConversion result;
    result.ok = true;
    result.value = qint32(value);
    return result;
}
