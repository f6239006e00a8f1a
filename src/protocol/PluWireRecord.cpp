#include "protocol/PluWireRecord.h"

#include "serial/Wire.h"
#include "tables/CodePage.h"

#include <limits>

namespace plu_wire {

namespace {

struct NumberSlot {
    const char* name;
    int offset;
    int size;   // 4 or 2 bytes
    qint64 max; // the table field's largest value that the wire carries
};

// The number fields where the model puts them: four-byte fields carry the table's 32-bit
// range, two-byte fields up to the largest number.
struct NumberSlots {
    NumberSlot itemCode, unitPrice, validDate, tare, gCode, messageNo;

    explicit NumberSlots(const scale::ScaleModel& model) {
        const scale::PluRecordLayout& at = model.pluRecord;
        const qint64 wide = std::numeric_limits<qint32>::max();
        const qint64 narrow = model.largestNumber;
        itemCode = {"ItemCode", at.itemCode, 4, wide};
        unitPrice = {"UnitPrice", at.unitPrice, 4, wide};
        validDate = {"ValidDate", at.validDate, 2, narrow};
        tare = {"Tare", at.tare, 2, narrow};
        gCode = {"GCode", at.gCode, 2, narrow};
        messageNo = {"MessageNo", at.messageNo, 2, narrow};
    }
};

// Writes one number; false (and `error` set) when the wire cannot carry it.
bool putNumber(QByteArray& bytes, const NumberSlot& slot, qint64 value, QString& error) {
    if (value < 0) {
        error = QStringLiteral("%1 %2 cannot be sent: it must lie between 0 and %3")
                    .arg(QLatin1String(slot.name))
                    .arg(value)
                    .arg(slot.max);
        return false;
    }
    bytes.replace(slot.offset, slot.size, bigEndianBytes(quint32(value), slot.size));
    return true;
}

bool putName(QByteArray& bytes, int offset, const char* field, const QString& name,
             const scale::ScaleModel& model, QString& error) {
    const int width = model.pluRecord.nameWidth;
    const QString text = nameField(name, model);
    qsizetype bad = -1;
    const auto encoded = codepage::encode(text, &bad);
    if (!encoded || encoded->size() != width) {
        const QString character = bad >= 0 ? text.mid(bad, 1) : text;
        error = QStringLiteral("%1 holds \"%2\", a character the scale's code page lacks")
                    .arg(QLatin1String(field), character);
        return false;
    }
    bytes.replace(offset, width, *encoded);
    return true;
}

bool getNumber(const QByteArray& bytes, const NumberSlot& slot, qint32& out, QString& error) {
    const quint32 value = bigEndianValue(bytes, slot.offset, slot.size);
    if (qint64(value) > slot.max) {
        error = QStringLiteral("%1 %2 is beyond the table's range 0 to %3")
                    .arg(QLatin1String(slot.name))
                    .arg(value)
                    .arg(slot.max);
        return false;
    }
    out = qint32(value);
    return true;
}

} // namespace

QString nameField(const QString& name, const scale::ScaleModel& model) {
    const int width = model.pluRecord.nameWidth;
    if (name.size() >= width)
        return name.right(width);
    const qsizetype blanks = width - name.size();
    const qsizetype front = blanks / 2;
    return QString(front, QLatin1Char(' ')) + name + QString(blanks - front, QLatin1Char(' '));
}

EncodedRecord encode(const PluRecord& record, const scale::ScaleModel& model) {
    EncodedRecord result;
    QByteArray bytes(model.pluRecordSize, '\0');
    QString& error = result.error;
    const NumberSlots slot(model);
    const scale::PluRecordLayout& at = model.pluRecord;
    const bool ok = putNumber(bytes, slot.itemCode, record.ItemCode, error) &&
                    putName(bytes, at.itemName1, "ItemName1", record.ItemName1, model, error) &&
                    putName(bytes, at.itemName2, "ItemName2", record.ItemName2, model, error) &&
                    putNumber(bytes, slot.unitPrice, record.UnitPrice, error) &&
                    putNumber(bytes, slot.validDate, record.ValidDate, error) &&
                    putNumber(bytes, slot.tare, record.Tare, error) &&
                    putNumber(bytes, slot.gCode, record.GCode, error) &&
                    putNumber(bytes, slot.messageNo, record.MessageNo, error);
    if (ok)
        result.bytes = bytes;
    return result;
}

Decoded decode(const QByteArray& bytes, const scale::ScaleModel& model) {
    Decoded result;
    if (bytes.size() != model.pluRecordSize) {
        result.error = QStringLiteral("a PLU record is %1 bytes, not %2")
                           .arg(model.pluRecordSize)
                           .arg(bytes.size());
        return result;
    }
    PluRecord& record = result.record;
    QString& error = result.error;
    const NumberSlots slot(model);
    qint32 validDate = 0, tare = 0, gCode = 0, messageNo = 0;
    const bool ok = getNumber(bytes, slot.itemCode, record.ItemCode, error) &&
                    getNumber(bytes, slot.unitPrice, record.UnitPrice, error) &&
                    getNumber(bytes, slot.validDate, validDate, error) &&
                    getNumber(bytes, slot.tare, tare, error) &&
                    getNumber(bytes, slot.gCode, gCode, error) &&
                    getNumber(bytes, slot.messageNo, messageNo, error);
    if (!ok) {
        record = PluRecord{};
        return result;
    }
    record.ValidDate = qint16(validDate);
    record.Tare = qint16(tare);
    record.GCode = qint16(gCode);
    record.MessageNo = qint16(messageNo);
    const scale::PluRecordLayout& at = model.pluRecord;
    record.ItemName1 = codepage::decode(bytes.mid(at.itemName1, at.nameWidth));
    record.ItemName2 = codepage::decode(bytes.mid(at.itemName2, at.nameWidth));
    return result;
}

} // namespace plu_wire
