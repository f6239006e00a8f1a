#pragma once

#include "journal/Entries.h"
#include "tables/NumberText.h"
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

// Every field of `record` as the grid shows it, for RowEntry::fields.
template <typename Record> FieldTexts fieldsOf(const Record& record) {
    FieldTexts fields;
    const QVector<FieldSpec>& specs = Record::kind().fields;
    for (int f = 0; f < specs.size(); ++f)
        fields.append({specs[f].name, specs[f].kind == FieldKind::Text
                                          ? record.text(f)
                                          : decimalText(record.number(f))});
    return fields;
}

} // namespace journal
