#pragma once

#include <QString>

// A text from a file or a cell as a status text quotes it. Characters that would cut the
// status short, break its line or not show at all (the C0 and C1 control characters and
// DEL) become escapes: "\r", "\n", "\t" and "\xHH" (e.g. "\x00"). Everything else, a
// backslash included, stays as it is.
QString shownText(const QString& text);
