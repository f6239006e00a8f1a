#pragma once

#include "protocol/EncodedRecord.h"
#include "scale/ScaleModel.h"
#include "tables/Records.h"

#include <QByteArray>
#include <QString>

// The PLU record as it travels to the scale and back (inside the upload reply); on the
// standard scale 72 bytes:
//   0 ItemCode (4)  4 ItemName1 (28)  32 ItemName2 (28)  60 UnitPrice (4)
//   64 ValidDate (2)  66 Tare (2)  68 GCode (2)  70 MessageNo (2)
// Numbers unsigned and big-endian; names centred in their width, Windows-1252. The PLU
// number is not part of it: it travels in a step of its own.
namespace plu_wire {

struct Decoded {
    PluRecord record; // PluNo is left 0: it is not in the wire record
    QString error;    // names the field beyond the table's range; empty when ok

    bool ok() const { return error.isEmpty(); }
};

// A name as the scale gets it (width W, 28): shorter names are padded one blank at a time,
// in front while the length is even and behind while it is odd (so floor((W - L) / 2)
// blanks in front); longer names keep their last W characters.
QString nameField(const QString& name, const scale::ScaleModel& model = scale::kStandardScale);

// Refuses negative numbers (the wire carries 0 and up only) and characters outside the code
// page, naming the field, e.g. "Tare -1 cannot be sent: it must lie between 0 and 32767".
EncodedRecord encode(const PluRecord& record,
                     const scale::ScaleModel& model = scale::kStandardScale);

// Reads a whole record back. Names keep the blanks that centre them. A number beyond the
// table field's signed range is refused, naming the field.
Decoded decode(const QByteArray& bytes, const scale::ScaleModel& model = scale::kStandardScale);

} // namespace plu_wire
