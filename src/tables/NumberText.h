#pragma once

#include <QString>
#include <QtGlobal>

// Conversion of cell and box texts into the tables' integer fields: the text is read as a
// plain decimal number (blanks around it allowed, a fraction and an exponent too), rounded
// to the nearest integer with halves to the even neighbour (12.5 -> 12, 13.5 -> 14) and
// checked against the field's signed range.

enum class IntWidth { Int16, Int32 };

struct NumberConversion {
    bool ok = false;
    qint32 value = 0;
    QString error; // e.g. "\"abc\" is not a number"; empty when ok
};

NumberConversion convertNumber(const QString& text, IntWidth width);

inline NumberConversion toInt16(const QString& text) {
    return convertNumber(text, IntWidth::Int16);
}

// Plain decimal text of a number: no blanks, no leading zeros, a minus sign when negative.
inline QString decimalText(qint64 value) {
    return QString::number(value);
}
