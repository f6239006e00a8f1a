#pragma once

#include "tables/Records.h"

#include <QByteArray>
#include <QString>

// The 72-byte PLU record as it travels to the scale and back (inside the upload reply):
//   0 ItemCode (4)  4 ItemName1 (28)  32 ItemName2 (28)  60 UnitPrice (4)
//   64 ValidDate (2)  66 Tare (2)  68 GCode (2)  70 MessageNo (2)
// Numbers unsigned and big-endian; names centred in 28 characters, Windows-1252. The PLU
// number is not part of it: it travels in a step of its own.
namespace plu_wire {

constexpr int kSize = 72;
constexpr int kNameWidth = 28;

struct Encoded {
    QByteArray bytes; // 72 bytes when ok
    QString error;    // names the field that cannot be sent; empty when ok

    bool ok() const { return error.isEmpty(); }
};

struct Decoded {
    PluRecord record; // PluNo is left 0: it is not in the wire record
    QString error;    // names the field beyond the table's range; empty when ok

    bool ok() const { return error.isEmpty(); }
};

// A name as the scale gets it: shorter names are padded one blank at a time, in front while
// the length is even and behind while it is odd (so floor((28 - L) / 2) blanks in front);
// longer names keep their last 28 characters.
QString nameField(const QString& name);

// Refuses negative numbers (the wire carries 0 and up only) and characters outside the code
// page, naming the field, e.g. "Tare -1 cannot be sent: it must lie between 0 and 32767".
Encoded encode(const PluRecord& record);

// Reads 72 bytes back. Names keep the blanks that centre them. A number beyond the table
// field's signed range is refused, naming the field.
Decoded decode(const QByteArray& bytes);

} // namespace plu_wire
