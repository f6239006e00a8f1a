#pragma once

#include <QList>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <optional>

// A change of unit prices by a percentage or by an amount, rounded to the nearest price the
// operator allows: a multiple of a step ("to 5": 5, 10, 15, ...) or a price with a fixed ending
// ("to 9 at the end": 9, 19, 29, ...). Prices are the tables' integers in the smallest unit of
// the currency; the arithmetic is exact, so 10 % on 105 is 115.5 before rounding, never
// 115.49999.

struct PriceRounding {
    qint64 step = 1;   // the distance between allowed prices, 1 or more
    qint64 ending = 0; // the remainder an allowed price leaves after division by step
};

struct PriceChange {
    enum class Kind { Percent, Amount };
    Kind kind = Kind::Percent;
    qint64 by = 0; // millionths of a percent, or whole price units
    PriceRounding rounding;
};

// Reads the operator's "10", "-7.5", "+2,5" (percent, up to six decimals, above -100 and at most
// 1000) or "50", "-20" (amount, whole units). On failure returns nothing and sets `error`.
std::optional<PriceChange> parsePriceChange(PriceChange::Kind kind, const QString& text,
                                            PriceRounding rounding, QString* error);

struct PriceResult {
    bool ok = false;
    qint32 price = 0;
    QString error; // "below 0", "above 2147483647"
};

// The new price: the exact result rounded to the nearest allowed price, halves upward. A
// result that rounds below 0 takes the lowest allowed price at or above 0 instead; a result
// below 0 before rounding, or above the 32-bit range after it, is refused.
PriceResult changedPrice(qint32 price, const PriceChange& change);

class TextGrid;

// One row of a price change as the preview shows it and the change applies it.
struct PricePreviewRow {
    int row = 0;
    QString before; // the price cell's text
    QString after;  // the new price as plain decimal, or empty with `error` set
    QString error;  // e.g. "\"1,50\" is not a number", "below 0"
};

// Each of `rows` whose price cell is not empty: its price read as Save reads it (halves to
// even, 32-bit range), and the changed price.
QVector<PricePreviewRow> previewPriceChange(const TextGrid& grid, const QList<int>& rows,
                                            int priceColumn, const PriceChange& change);
