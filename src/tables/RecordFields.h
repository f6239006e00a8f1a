#pragma once

#include "tables/TableKind.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <type_traits>
#include <variant>

// A record's fields as a list of its members in grid column order 1.., so that one piece of
// code reads and writes any field of any record by its position, and the field's kind follows
// from the member's type instead of being written a second time.

template <typename Record>
using FieldMember = std::variant<qint16 Record::*, qint32 Record::*, QString Record::*>;

template <typename Record> struct Field {
    const char* name;   // see FieldSpec
    char alignment;     // see FieldSpec
    const char* header; // see FieldSpec
    FieldMember<Record> member;
};

template <typename Record, std::size_t N> using FieldList = std::array<Field<Record>, N>;

// The descriptor's view of the fields.
template <typename Record, std::size_t N>
QVector<FieldSpec> fieldSpecs(const FieldList<Record, N>& fields) {
    static constexpr FieldKind kinds[] = {FieldKind::Int16, FieldKind::Int32, FieldKind::Text};
    QVector<FieldSpec> specs;
    for (const Field<Record>& field : fields)
        specs.append({QString::fromLatin1(field.name), kinds[field.member.index()],
                      QLatin1Char(field.alignment), QString::fromLatin1(field.header)});
    return specs;
}

// A number field's value; 0 for a text field or a position past the fields.
template <typename Record, std::size_t N>
qint32 fieldNumber(const FieldList<Record, N>& fields, const Record& record, int field) {
    if (field < 0 || std::size_t(field) >= N)
        return 0;
    return std::visit(
        [&record](auto member) -> qint32 {
            if constexpr (std::is_same_v<decltype(member), QString Record::*>)
                return 0;
            else
                return record.*member;
        },
        fields[field].member);
}

// Sets a number field (a 16-bit one to the value's low 16 bits); text fields and positions past
// the fields are left alone.
template <typename Record, std::size_t N>
void setFieldNumber(const FieldList<Record, N>& fields, Record& record, int field, qint32 value) {
    if (field < 0 || std::size_t(field) >= N)
        return;
    std::visit(
        [&record, value](auto member) {
            using Value = std::remove_reference_t<decltype(record.*member)>;
            if constexpr (!std::is_same_v<Value, QString>)
                record.*member = Value(value);
        },
        fields[field].member);
}

// A text field's value; empty for a number field or a position past the fields.
template <typename Record, std::size_t N>
QString fieldText(const FieldList<Record, N>& fields, const Record& record, int field) {
    if (field < 0 || std::size_t(field) >= N)
        return QString();
    const auto* member = std::get_if<QString Record::*>(&fields[field].member);
    return member ? record.**member : QString();
}

template <typename Record, std::size_t N>
void setFieldText(const FieldList<Record, N>& fields, Record& record, int field,
                  const QString& value) {
    if (field < 0 || std::size_t(field) >= N)
        return;
    if (const auto* member = std::get_if<QString Record::*>(&fields[field].member))
        record.** member = value;
}
