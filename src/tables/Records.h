#pragma once

#include "scale/ScaleModel.h"
#include "tables/TableKind.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// One PLU record; its fields in grid column order 1 to 9. Its descriptor, kind(), and the
// field access by position are in PluKind.cpp.
struct PluRecord {
    static constexpr int kCapacity = scale::kStandardScale.pluCapacity; // records 1..kCapacity

    qint16 PluNo = 0;
    qint32 ItemCode = 0;
    QString ItemName1;
    QString ItemName2;
    qint32 UnitPrice = 0;
    qint16 ValidDate = 0;
    qint16 Tare = 0;
    qint16 GCode = 0;
    qint16 MessageNo = 0;

    static const TableKind& kind();

    // Field access by position 0.. (grid column - 1), for code shared by both tables.
    qint32 number(int field) const;
    void setNumber(int field, qint32 value);
    QString text(int field) const;
    void setText(int field, const QString& value);

    bool operator==(const PluRecord&) const = default;
};

// One ingredient message: four lines of text. The scale's record has room for eight; the
// ingredient download sends the other four as blank lines. Its descriptor and field access
// are in IngredKind.cpp.
struct IngredRecord {
    static constexpr int kCapacity = scale::kStandardScale.ingredCapacity;

    qint16 MessageNo = 0;
    QString Message1;
    QString Message2;
    QString Message3;
    QString Message4;

    static const TableKind& kind();

    qint32 number(int field) const;
    void setNumber(int field, qint32 value);
    QString text(int field) const;
    void setText(int field, const QString& value);

    bool operator==(const IngredRecord&) const = default;
};

// A record's fields as texts, in the kind's order: numbers in plain decimal.
template <typename Record> QStringList fieldTexts(const Record& record) {
    const QVector<FieldSpec>& fields = Record::kind().fields;
    QStringList texts;
    for (int f = 0; f < fields.size(); ++f)
        texts.append(fields[f].kind == FieldKind::Text ? record.text(f)
                                                       : decimalText(record.number(f)));
    return texts;
}

inline const TableKind& pluKind() {
    return PluRecord::kind();
}
inline const TableKind& ingredKind() {
    return IngredRecord::kind();
}
