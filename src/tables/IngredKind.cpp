#include "tables/RecordFields.h"
#include "tables/Records.h"

namespace {

constexpr FieldList<IngredRecord, 5> kFields{{
    {"MessageNo", '<', "Message No ", &IngredRecord::MessageNo},
    {"Message1", '^', "Message1                         ", &IngredRecord::Message1},
    {"Message2", '^', "Message2                         ", &IngredRecord::Message2},
    {"Message3", '^', "Message3                         ", &IngredRecord::Message3},
    {"Message4", '^', "Message4                         ", &IngredRecord::Message4},
}};

} // namespace

const TableKind& IngredRecord::kind() {
    static const TableKind kind{
        .name = QStringLiteral("INGRED"),
        .dataRows = kCapacity,
        .fields = fieldSpecs(kFields),
        .countText = QStringLiteral("Message Count is "),
        // The only number is the one that ends the table, so no column is filled with 0.
        .file = {QStringLiteral("ingred"), QStringLiteral("INGRED Count is "), 0},
        .workbook =
            {
                QStringLiteral("Excel File INGRED Data  "),
                QStringLiteral("  Data Format Changing....  "),
                QStringLiteral("Ingredient Number is "),
                QStringLiteral("INGRED "),
                {QStringLiteral("Message No"), QStringLiteral("           Message1            "),
                 QStringLiteral("           Message2            "),
                 QStringLiteral("           Message3            "),
                 QStringLiteral("           Message4            ")},
                kCapacity + 3, // as for the PLU table
                kCapacity + 1,
                QStringLiteral("0"),
                QStringLiteral(" "),
                scale::kStandardScale.ingredRecord.lineWidth, // as much as the scale keeps
            },
    };
    return kind;
}

qint32 IngredRecord::number(int field) const {
    return fieldNumber(kFields, *this, field);
}

void IngredRecord::setNumber(int field, qint32 value) {
    setFieldNumber(kFields, *this, field, value);
}

QString IngredRecord::text(int field) const {
    return fieldText(kFields, *this, field);
}

void IngredRecord::setText(int field, const QString& value) {
    setFieldText(kFields, *this, field, value);
}
