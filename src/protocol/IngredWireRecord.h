#pragma once

#include "tables/Records.h"

#include <QByteArray>
#include <QString>

// The 400-byte ingredient record as it travels to the scale: eight lines of 50 characters,
// Windows-1252. Lines 1 to 4 are Message1 to Message4, left-aligned and padded with blanks
// (longer texts keep their first 50 characters); lines 5 to 8 are always blank. The message
// number is not part of it: it travels in a step of its own.
namespace ingred_wire {

constexpr int kSize = 400;
constexpr int kLineWidth = 50;

struct Encoded {
    QByteArray bytes; // 400 bytes when ok
    QString error;    // names the line that cannot be sent; empty when ok

    bool ok() const { return error.isEmpty(); }
};

QString line(const QString& text); // exactly 50 characters
Encoded encode(const IngredRecord& record);

} // namespace ingred_wire
