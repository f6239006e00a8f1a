#pragma once

#include "spreadsheet/Sheet.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads the first worksheet (in workbook order) out of a workbook stream of BIFF8 (the
// "Workbook" stream) or BIFF5/7 (the "Book" stream). Every cell becomes its text form:
// texts as they are, numbers (whatever their display format) in plain decimal, formulas as
// their stored result, booleans as TRUE/FALSE and error values as their error text (#N/A).
// A damaged or encrypted stream gives nothing and an error text.
std::optional<Sheet> readBiffStream(const QByteArray& stream, QString* error);
