#pragma once

#include "journal/Entries.h"
#include "tables/Records.h"
#include "tables/TableKind.h"

#include <optional>

// A record's fields as the journal keeps them: one JSON object, field name -> text, checked
// against the fields of the record's kind.
namespace journal {

// The kind whose name is `name` ("PLU", "INGRED"); null for any other.
const TableKind* tableKindNamed(const QString& name);

// Why `fields` are not every field of `kind` once, in its order; empty when they are.
QString fieldsProblem(const TableKind& kind, const FieldTexts& fields);

QString fieldsJson(const FieldTexts& fields);
// In the kind's order; empty when `json` is not an object of texts.
FieldTexts fieldsFromJson(const QString& json, const TableKind& kind);

// A PLU's "UnitPrice" as a number; nothing when there is none or it is no number.
std::optional<qint32> unitPriceOf(const FieldTexts& fields);

// Texts in the kind's order (as fieldTexts() and the exchanges give them) with their names,
// for RowEntry::fields (a text past the kind's fields has no name, which addRow refuses).
FieldTexts namedFields(const TableKind& kind, const QStringList& texts);

// Every field of `record` as the grid shows it.
template <typename Record> FieldTexts fieldsOf(const Record& record) {
    return namedFields(Record::kind(), fieldTexts(record));
}

} // namespace journal
