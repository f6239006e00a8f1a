#pragma once

#include <QString>

class SimulatedScale;

// Writes every record the simulated scale holds to `path`, exactly as it was received, so
// that a test or an operator can see what reached the "scale": one line per record,
//   plu NUMBER HEX       the 72 record bytes, in PLU number order
//   ingred NUMBER HEX    the 400 record bytes, in message number order
// with HEX in lower case and lines ending in LF. The file is replaced whole or not at all.
// Returns an error text, empty when written.
QString writeScaleDump(const SimulatedScale& scale, const QString& path);
