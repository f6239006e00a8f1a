#pragma once

#include "protocol/EncodedRecord.h"
#include "scale/ScaleModel.h"
#include "tables/Records.h"

#include <QString>

// The ingredient record as it travels to the scale; on the standard scale 400 bytes: eight
// lines of 50 characters, Windows-1252. Lines 1 to 4 are Message1 to Message4, left-aligned
// and padded with blanks (longer texts keep their first 50 characters); lines 5 to 8 are
// always blank. The message number is not part of it: it travels in a step of its own.
namespace ingred_wire {

// Exactly one line's width of characters.
QString line(const QString& text, const scale::ScaleModel& model = scale::kStandardScale);
EncodedRecord encode(const IngredRecord& record,
                     const scale::ScaleModel& model = scale::kStandardScale);

} // namespace ingred_wire
