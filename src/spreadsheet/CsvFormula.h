#pragma once

#include <QString>

// The guard that keeps a .csv text from running as a formula when a spreadsheet program opens
// the file. A text that starts with '=', '+', '-' or '@' (after any number of apostrophes)
// is written with one apostrophe more in front, which spreadsheet programs take as "this
// cell is text"; the reader removes exactly one apostrophe from every text of that shape.
// Texts of any other shape pass both ways untouched, so every text reads back as it was
// written, "'=x" (a text that already started with an apostrophe) included.
namespace csvformula {

QString guarded(const QString& text);
QString unguarded(const QString& text);

} // namespace csvformula
