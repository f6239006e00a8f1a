#include "tables/PriceChange.h"

#include "tables/NumberText.h"
#include "tables/TextGrid.h"

#include <QRegularExpression>

#include <limits>

namespace {

constexpr qint64 kPercentScale = 1'000'000; // "by" of a percentage: millionths of a percent
constexpr qint64 kWhole = 100 * kPercentScale;

// floor(a / b) for b > 0.
qint64 floorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// The allowed price nearest to numerator / denominator (denominator > 0, value >= 0).
qint64 roundToAllowed(qint64 numerator, qint64 denominator, const PriceRounding& r) {
    const qint64 span = r.step * denominator;
    const qint64 below = r.ending + r.step * floorDiv(numerator - r.ending * denominator, span);
    const qint64 above = below + r.step;
    if (below < 0)
        return above;
    const qint64 distanceBelow = numerator - below * denominator;
    const qint64 distanceAbove = above * denominator - numerator;
    return distanceAbove <= distanceBelow ? above : below;
}

} // namespace

std::optional<PriceChange> parsePriceChange(PriceChange::Kind kind, const QString& text,
                                            PriceRounding rounding, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (rounding.step < 1 || rounding.ending < 0 || rounding.ending >= rounding.step)
        return fail(QStringLiteral("the rounding is not possible"));

    static const QRegularExpression percent(
        QStringLiteral("^\\s*([+-]?)(\\d{1,4})(?:[.,](\\d{1,6}))?\\s*%?\\s*$"));
    static const QRegularExpression amount(QStringLiteral("^\\s*([+-]?)(\\d{1,10})\\s*$"));
    PriceChange change;
    change.kind = kind;
    change.rounding = rounding;
    if (kind == PriceChange::Kind::Percent) {
        const QRegularExpressionMatch m = percent.match(text);
        if (!m.hasMatch())
            return fail(QStringLiteral("\"%1\" is not a percentage").arg(text.trimmed()));
        const QString fraction = m.captured(3).leftJustified(6, QLatin1Char('0'));
        qint64 by = m.captured(2).toLongLong() * kPercentScale + fraction.toLongLong();
        if (m.captured(1) == QLatin1String("-"))
            by = -by;
        if (by <= -kWhole || by > 10 * kWhole)
            return fail(QStringLiteral("a percentage must lie above -100 and at most 1000"));
        change.by = by;
    } else {
        const QRegularExpressionMatch m = amount.match(text);
        if (!m.hasMatch())
            return fail(QStringLiteral("\"%1\" is not a whole number").arg(text.trimmed()));
        qint64 by = m.captured(2).toLongLong();
        if (by > std::numeric_limits<qint32>::max())
            return fail(QStringLiteral("an amount must lie within 2147483647 either way"));
        change.by = m.captured(1) == QLatin1String("-") ? -by : by;
    }
    return change;
}

PriceResult changedPrice(qint32 price, const PriceChange& change) {
    PriceResult result;
    qint64 numerator = 0;
    qint64 denominator = 1;
    if (change.kind == PriceChange::Kind::Percent) {
        numerator = qint64(price) * (kWhole + change.by); // at most 2^31 * 1.1e9 < 2^63
        denominator = kWhole;
    } else {
        numerator = qint64(price) + change.by;
    }
    if (numerator < 0) {
        result.error = QStringLiteral("below 0");
        return result;
    }
    const qint64 rounded = roundToAllowed(numerator, denominator, change.rounding);
    if (rounded > std::numeric_limits<qint32>::max()) {
        result.error = QStringLiteral("above 2147483647");
        return result;
    }
    result.ok = true;
    result.price = qint32(rounded);
    return result;
}

QVector<PricePreviewRow> previewPriceChange(const TextGrid& grid, const QList<int>& rows,
                                            int priceColumn, const PriceChange& change) {
    QVector<PricePreviewRow> preview;
    for (int row : rows) {
        const QString price = grid.text(row, priceColumn);
        if (price.isEmpty())
            continue;
        PricePreviewRow line{row, price, QString(), QString()};
        const NumberConversion old = convertNumber(price, IntWidth::Int32); // a 32-bit field
        if (!old.ok) {
            line.error = old.error;
        } else {
            const PriceResult changed = changedPrice(old.value, change);
            if (changed.ok)
                line.after = decimalText(changed.price);
            else
                line.error = changed.error;
        }
        preview.append(line);
    }
    return preview;
}
