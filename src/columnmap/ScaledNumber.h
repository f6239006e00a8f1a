#pragma once

#include "tables/NumberText.h"

#include <QString>

// A number as an export writes it, turned into a table field's integer: "12,99" with a
// factor of 100 is 1299, a tare of "0,015" kg with a factor of 1000 is 15 g.
//  - The text is a plain decimal: blanks around it, a sign, digits and at most one decimal
//    separator. No exponent and no grouping ("1.299,00" is refused, not guessed at).
//  - The factor is a power of ten (1 to 1000000) and moves the separator exactly, with no
//    binary fraction in between.
//  - Digits the factor leaves behind the separator are rounded to the nearest integer, halves
//    to the even neighbour, as every other number of the tables is ("0,0125" kg gives 12 g,
//    "0,0135" kg 14 g).
//  - The result is checked against the field's range after rounding.
struct ScaledNumberFormat {
    QString separators = QStringLiteral("."); // each character may be the decimal separator
    qint32 factor = 1;
};

NumberConversion convertScaledNumber(const QString& text, const ScaledNumberFormat& format,
                                     IntWidth width);

// Whether `factor` is one a map may give: 1, 10, 100, ... 1000000.
bool isDecimalFactor(qint64 factor);
