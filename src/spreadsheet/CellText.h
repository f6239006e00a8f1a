#pragma once

#include <QString>

#include <optional>

// The text form of a numeric cell and its inverse.
namespace celltext {

// Plain decimal: the shortest digits that read back as the same double, without an exponent
// for ordinary magnitudes (1, 1250, 12.5, 0.1, -3). Only values below 1e-6 or from 1e21 on
// use the exponent form (1e+21). -0 is "0".
QString plainDecimal(double value);

// The number a cell text stands for when it is to be stored as a number: only when the
// number's plain decimal text gives back exactly the same text. So "12.5" is a number, while
// "0123", "1.50", " 7", "+7" or "1e3" stay texts and come back unchanged.
std::optional<double> exactNumber(const QString& text);

} // namespace celltext
