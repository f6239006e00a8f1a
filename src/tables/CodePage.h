#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The one single-byte code page of the system: Windows-1252. Table files, the wire to the
// scale and every other place where text meets bytes go through these two functions.
namespace codepage {

// One byte per character. Returns nothing when a character has no code in the page;
// `badIndex` (if given) then receives the position of the first such character.
std::optional<QByteArray> encode(const QString& text, qsizetype* badIndex = nullptr);

// Every byte decodes: the five codes the page leaves undefined map to the control
// characters U+0081, U+008D, U+008F, U+0090 and U+009D, so decode/encode round-trips.
QString decode(const QByteArray& bytes);

// True when every character of `text` has a code in the page.
bool canEncode(const QString& text, qsizetype* badIndex = nullptr);

} // namespace codepage
