#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The string forms the workbook writer stores. A text whose characters all lie in U+0000 to
// U+00FF is stored one byte per character, any other text as UTF-16.
namespace biffstring {

// A count byte, a flags byte, the characters (sheet and font names, at most 255 characters).
QByteArray shortString(const QString& text);

// The bodies of the SST record and its CONTINUE records: the two counts, then every string.
// No body exceeds the record limit; a string's header never parts from its first character,
// a UTF-16 character is never split, and characters continued in the next record are
// preceded there by the string's flags byte.
QVector<QByteArray> sharedStringTable(const QStringList& strings, quint32 totalUses);

} // namespace biffstring
