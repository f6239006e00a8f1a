#include "tables/Records.h"

namespace {

const QString kPluFormat = QStringLiteral(
    "^No |<PLU No |^Item code      |^Item name1          |^Item name2          |^U/Price      "
    "|^Valid Date |^Tare      |^G code |^Message No");

const QString kIngredFormat = QStringLiteral(
    "^No |<Message No |^Message1                         |^Message2                         "
    "|^Message3                         |^Message4                         ");

} // namespace

const TableKind& pluKind() {
    static const TableKind kind{QStringLiteral("PLU"),
                                600,
                                kPluFormat,
                                {{QStringLiteral("PluNo"), FieldKind::Int16},
                                 {QStringLiteral("ItemCode"), FieldKind::Int32},
                                 {QStringLiteral("ItemName1"), FieldKind::Text},
                                 {QStringLiteral("ItemName2"), FieldKind::Text},
                                 {QStringLiteral("UnitPrice"), FieldKind::Int32},
                                 {QStringLiteral("ValidDate"), FieldKind::Int16},
                                 {QStringLiteral("Tare"), FieldKind::Int16},
                                 {QStringLiteral("GCode"), FieldKind::Int16},
                                 {QStringLiteral("MessageNo"), FieldKind::Int16}},
                                QStringLiteral("PLU Count is ")};
    return kind;
}

const TableKind& ingredKind() {
    static const TableKind kind{QStringLiteral("INGRED"),
                                200,
                                kIngredFormat,
                                {{QStringLiteral("MessageNo"), FieldKind::Int16},
                                 {QStringLiteral("Message1"), FieldKind::Text},
                                 {QStringLiteral("Message2"), FieldKind::Text},
                                 {QStringLiteral("Message3"), FieldKind::Text},
                                 {QStringLiteral("Message4"), FieldKind::Text}},
                                QStringLiteral("Message Count is ")};
    return kind;
}

qint32 PluRecord::number(int field) const {
    switch (field) {
    case 0:
        return PluNo;
    case 1:
        return ItemCode;
    case 4:
        return UnitPrice;
    case 5:
        return ValidDate;
    case 6:
        return Tare;
    case 7:
        return GCode;
    case 8:
        return MessageNo;
    default:
        return 0;
    }
}

void PluRecord::setNumber(int field, qint32 value) {
    switch (field) {
    case 0:
        PluNo = qint16(value);
        break;
    case 1:
        ItemCode = value;
        break;
    case 4:
        UnitPrice = value;
        break;
    case 5:
        ValidDate = qint16(value);
        break;
    case 6:
        Tare = qint16(value);
        break;
    case 7:
        GCode = qint16(value);
        break;
    case 8:
        MessageNo = qint16(value);
        break;
    default:
        break;
    }
}

QString PluRecord::text(int field) const {
    return field == 2 ? ItemName1 : field == 3 ? ItemName2 : QString();
}

void PluRecord::setText(int field, const QString& value) {
    if (field == 2)
        ItemName1 = value;
    else if (field == 3)
        ItemName2 = value;
}

qint32 IngredRecord::number(int field) const {
    return field == 0 ? MessageNo : 0;
}

void IngredRecord::setNumber(int field, qint32 value) {
    if (field == 0)
        MessageNo = qint16(value);
}

QString IngredRecord::text(int field) const {
    switch (field) {
    case 1:
        return Message1;
    case 2:
        return Message2;
    case 3:
        return Message3;
    case 4:
        return Message4;
    default:
        return QString();
    }
}

void IngredRecord::setText(int field, const QString& value) {
    switch (field) {
    case 1:
        Message1 = value;
        break;
    case 2:
        Message2 = value;
        break;
    case 3:
        Message3 = value;
        break;
    case 4:
        Message4 = value;
        break;
    default:
        break;
    }
}
