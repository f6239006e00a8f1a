#pragma once

#include "journal/Sqlite.h"

#include <QByteArray>
#include <QList>

// The chain that makes changes to the journal evident. Every entry carries
//   hash = SHA-256(previous entry's hash || encoding of the entry's values)
// where the first entry's previous hash is 32 zero bytes. The values are the entry's type
// ("run", "row", "end"), its number and its recorded facts in a fixed order (docs/journal.md
// lists them); each is encoded by its SQLite storage class:
//   integer  'i' + 8 bytes, big-endian two's complement
//   text     't' + 4-byte big-endian length + UTF-8 bytes
//   blob     'b' + 4-byte big-endian length + the bytes
// so no two different lists of values encode alike.
namespace journal::chain {

using Value = sql::Value;

inline QByteArray genesis() {
    return QByteArray(32, '\0');
}

QByteArray encode(const QList<Value>& values);
QByteArray entryHash(const QByteArray& previous, const QList<Value>& values);

} // namespace journal::chain
