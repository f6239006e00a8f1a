#include "protocol/PluWireRecord.h"

#include "serial/Wire.h"
#include "tables/CodePage.h"

namespace plu_wire {

namespace {

constexpr int kName1Offset = 4;
constexpr int kName2Offset = 32;

struct NumberSlot {
    const char* name;
    int offset;
    int size; // 4 or 2 bytes: 0..2147483647 or 0..32767
};

constexpr NumberSlot kItemCode{"ItemCode", 0, 4};
constexpr NumberSlot kUnitPrice{"UnitPrice", 60, 4};
constexpr NumberSlot kValidDate{"ValidDate", 64, 2};
constexpr NumberSlot kTare{"Tare", 66, 2};
constexpr NumberSlot kGCode{"GCode", 68, 2};
constexpr NumberSlot kMessageNo{"MessageNo", 70, 2};

qint64 maxOf(const NumberSlot& slot) {
    return slot.size == 4 ? 2147483647 : 32767;
}

// Writes one number; false (and `error` set) when the wire cannot carry it.
bool putNumber(QByteArray& bytes, const NumberSlot& slot, qint64 value, QString& error) {
    if (value < 0) {
        error = QStringLiteral("%1 %2 cannot be sent: it must lie between 0 and %3")
                    .arg(QLatin1String(slot.name))
                    .arg(value)
                    .arg(maxOf(slot));
        return false;
    }
    bytes.replace(slot.offset, slot.size, bigEndianBytes(quint32(value), slot.size));
    return true;
}

bool putName(QByteArray& bytes, int offset, const char* field, const QString& name,
             QString& error) {
    const QString text = nameField(name);
    qsizetype bad = -1;
    const auto encoded = codepage::encode(text, &bad);
    if (!encoded || encoded->size() != kNameWidth) {
        const QString character = bad >= 0 ? text.mid(bad, 1) : text;
        error = QStringLiteral("%1 holds \"%2\", a character the scale's code page lacks")
                    .arg(QLatin1String(field), character);
        return false;
    }
    bytes.replace(offset, kNameWidth, *encoded);
    return true;
}

bool getNumber(const QByteArray& bytes, const NumberSlot& slot, qint32& out, QString& error) {
    const quint32 value = bigEndianValue(bytes, slot.offset, slot.size);
    if (qint64(value) > maxOf(slot)) {
        error = QStringLiteral("%1 %2 is beyond the table's range 0 to %3")
                    .arg(QLatin1String(slot.name))
                    .arg(value)
                    .arg(maxOf(slot));
        return false;
    }
    out = qint32(value);
    return true;
}

} // namespace

QString nameField(const QString& name) {
    if (name.size() >= kNameWidth)
        return name.right(kNameWidth);
    const qsizetype blanks = kNameWidth - name.size();
    const qsizetype front = blanks / 2;
    return QString(front, QLatin1Char(' ')) + name + QString(blanks - front, QLatin1Char(' '));
}

Encoded encode(const PluRecord& record) {
    Encoded result;
    QByteArray bytes(kSize, '\0');
    QString& error = result.error;
    const bool ok = putNumber(bytes, kItemCode, record.ItemCode, error) &&
                    putName(bytes, kName1Offset, "ItemName1", record.ItemName1, error) &&
                    putName(bytes, kName2Offset, "ItemName2", record.ItemName2, error) &&
                    putNumber(bytes, kUnitPrice, record.UnitPrice, error) &&
                    putNumber(bytes, kValidDate, record.ValidDate, error) &&
                    putNumber(bytes, kTare, record.Tare, error) &&
                    putNumber(bytes, kGCode, record.GCode, error) &&
                    putNumber(bytes, kMessageNo, record.MessageNo, error);
    if (ok)
        result.bytes = bytes;
    return result;
}

Decoded decode(const QByteArray& bytes) {
    Decoded result;
    if (bytes.size() != kSize) {
        result.error =
            QStringLiteral("a PLU record is %1 bytes, not %2").arg(kSize).arg(bytes.size());
        return result;
    }
    PluRecord& record = result.record;
    QString& error = result.error;
    qint32 validDate = 0, tare = 0, gCode = 0, messageNo = 0;
    const bool ok =
        getNumber(bytes, kItemCode, record.ItemCode, error) &&
        getNumber(bytes, kUnitPrice, record.UnitPrice, error) &&
        getNumber(bytes, kValidDate, validDate, error) && getNumber(bytes, kTare, tare, error) &&
        getNumber(bytes, kGCode, gCode, error) && getNumber(bytes, kMessageNo, messageNo, error);
    if (!ok) {
        record = PluRecord{};
        return result;
    }
    record.ValidDate = qint16(validDate);
    record.Tare = qint16(tare);
    record.GCode = qint16(gCode);
    record.MessageNo = qint16(messageNo);
    record.ItemName1 = codepage::decode(bytes.mid(kName1Offset, kNameWidth));
    record.ItemName2 = codepage::decode(bytes.mid(kName2Offset, kNameWidth));
    return result;
}

} // namespace plu_wire
