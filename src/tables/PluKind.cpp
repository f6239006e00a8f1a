#include "tables/RecordFields.h"
#include "tables/Records.h"

namespace {

constexpr FieldList<PluRecord, 9> kFields{{
    {"PluNo", '<', "PLU No ", &PluRecord::PluNo},
    {"ItemCode", '^', "Item code      ", &PluRecord::ItemCode},
    {"ItemName1", '^', "Item name1          ", &PluRecord::ItemName1},
    {"ItemName2", '^', "Item name2          ", &PluRecord::ItemName2},
    {"UnitPrice", '^', "U/Price      ", &PluRecord::UnitPrice},
    {"ValidDate", '^', "Valid Date ", &PluRecord::ValidDate},
    {"Tare", '^', "Tare      ", &PluRecord::Tare},
    {"GCode", '^', "G code ", &PluRecord::GCode},
    {"MessageNo", '^', "Message No", &PluRecord::MessageNo},
}};

} // namespace

const TableKind& PluRecord::kind() {
    static const TableKind kind{
        .name = QStringLiteral("PLU"),
        .dataRows = kCapacity,
        .fields = fieldSpecs(kFields),
        .countText = QStringLiteral("PLU Count is "),
        // An empty "Message No" is saved as 0 and shows as "0" afterwards.
        .file = {QStringLiteral("plu"), QStringLiteral("PLU Count is "), 9},
        .workbook =
            {
                QStringLiteral("Excel File Ingred Data  "),
                QStringLiteral(" Data Format Changing ....  "),
                QStringLiteral("PLU Number is "),
                QStringLiteral("PLU "),
                {QStringLiteral("PLU No"), QStringLiteral("Item Code"),
                 QStringLiteral("           Item Name1           "),
                 QStringLiteral("           Item Name2           "), QStringLiteral("U/Price"),
                 QStringLiteral("Valid Date"), QStringLiteral("Tare"), QStringLiteral("G Code"),
                 QStringLiteral("Message No")},
                // The import reads into a grid two rows longer than the table's, and stops
                // after the sheet's header row and one row per record.
                kCapacity + 3,
                kCapacity + 1,
                QStringLiteral("0"),
                QString(),
                scale::kStandardScale.pluRecord.nameWidth, // as much as the scale keeps
            },
    };
    return kind;
}

qint32 PluRecord::number(int field) const {
    return fieldNumber(kFields, *this, field);
}

void PluRecord::setNumber(int field, qint32 value) {
    setFieldNumber(kFields, *this, field, value);
}

QString PluRecord::text(int field) const {
    return fieldText(kFields, *this, field);
}

void PluRecord::setText(int field, const QString& value) {
    setFieldText(kFields, *this, field, value);
}
