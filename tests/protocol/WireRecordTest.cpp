#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"

#include <gtest/gtest.h>

namespace {

QByteArray blanks(int count) {
    return QByteArray(count, ' ');
}

PluRecord samplePlu() {
    PluRecord record;
    record.PluNo = 12;
    record.ItemCode = 0x12345678;
    record.ItemName1 = QStringLiteral("Tea");
    record.ItemName2 = QStringLiteral("Pear");
    record.UnitPrice = 1500;
    record.ValidDate = 7;
    record.Tare = 300;
    record.GCode = 2;
    record.MessageNo = 32767;
    return record;
}

} // namespace

TEST(PluWireRecordTest, LaysOutEveryFieldBigEndianAtItsOffset) {
    const EncodedRecord encoded = plu_wire::encode(samplePlu());
    ASSERT_TRUE(encoded.ok()) << encoded.error.toStdString();
    const QByteArray& b = encoded.bytes;
    ASSERT_EQ(b.size(), 72);
    EXPECT_EQ(b.mid(0, 4), QByteArray("\x12\x34\x56\x78", 4));
    EXPECT_EQ(b.mid(4, 28), blanks(12) + "Tea" + blanks(13));
    EXPECT_EQ(b.mid(32, 28), blanks(12) + "Pear" + blanks(12));
    EXPECT_EQ(b.mid(60, 4), QByteArray("\x00\x00\x05\xDC", 4));
    EXPECT_EQ(b.mid(64, 2), QByteArray("\x00\x07", 2));
    EXPECT_EQ(b.mid(66, 2), QByteArray("\x01\x2C", 2));
    EXPECT_EQ(b.mid(68, 2), QByteArray("\x00\x02", 2));
    EXPECT_EQ(b.mid(70, 2), QByteArray("\x7F\xFF", 2));
}

TEST(PluWireRecordTest, CentresShortNamesAndKeepsTheLastCharactersOfLongOnes) {
    EXPECT_EQ(plu_wire::nameField(QString()), QString(28, QLatin1Char(' ')));
    EXPECT_EQ(plu_wire::nameField(QStringLiteral("abc")),
              QString(12, QLatin1Char(' ')) + "abc" + QString(13, QLatin1Char(' ')));
    EXPECT_EQ(plu_wire::nameField(QStringLiteral("a")),
              QString(13, QLatin1Char(' ')) + "a" + QString(14, QLatin1Char(' ')));
    const QString exact = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ01");
    EXPECT_EQ(plu_wire::nameField(exact), exact);
    const QString thirty = QStringLiteral("123456789012345678901234567890");
    EXPECT_EQ(plu_wire::nameField(thirty), thirty.mid(2)); // characters 3 to 30
}

TEST(PluWireRecordTest, UsesTheSingleByteCodePage) {
    PluRecord record = samplePlu();
    record.ItemName1 = QString::fromUtf8("Crème €");
    const EncodedRecord encoded = plu_wire::encode(record);
    ASSERT_TRUE(encoded.ok());
    EXPECT_EQ(encoded.bytes.mid(4 + 10, 7), QByteArray("Cr\xE8me \x80", 7));
}

TEST(PluWireRecordTest, RefusesWhatTheWireCannotCarryNamingTheField) {
    struct Case {
        void (*spoil)(PluRecord&);
        const char* field;
    };
    const Case cases[] = {
        {[](PluRecord& r) { r.ItemCode = -1; }, "ItemCode -1"},
        {[](PluRecord& r) { r.UnitPrice = -1500; }, "UnitPrice -1500"},
        {[](PluRecord& r) { r.ValidDate = -2; }, "ValidDate -2"},
        {[](PluRecord& r) { r.Tare = -1; }, "Tare -1"},
        {[](PluRecord& r) { r.GCode = -32768; }, "GCode -32768"},
        {[](PluRecord& r) { r.MessageNo = -1; }, "MessageNo -1"},
        {[](PluRecord& r) { r.ItemName2 = QString::fromUtf8("Ωmega"); }, "ItemName2"},
    };
    for (const Case& c : cases) {
        PluRecord record = samplePlu();
        c.spoil(record);
        const EncodedRecord encoded = plu_wire::encode(record);
        EXPECT_FALSE(encoded.ok()) << c.field;
        EXPECT_TRUE(encoded.error.startsWith(QLatin1String(c.field)))
            << encoded.error.toStdString();
        EXPECT_TRUE(encoded.bytes.isEmpty());
    }
}

TEST(PluWireRecordTest, ADroppedCharacterOutsideTheCodePageIsNoError) {
    PluRecord record = samplePlu();
    record.ItemName1 = QString::fromUtf8("Ω") + QString(28, QLatin1Char('x')); // cut off in front
    EXPECT_TRUE(plu_wire::encode(record).ok());
}

TEST(PluWireRecordTest, DecodesWhatItEncodesKeepingTheCentringBlanks) {
    const plu_wire::Decoded decoded = plu_wire::decode(plu_wire::encode(samplePlu()).bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    PluRecord expected = samplePlu();
    expected.PluNo = 0;
    expected.ItemName1 = plu_wire::nameField(QStringLiteral("Tea"));
    expected.ItemName2 = plu_wire::nameField(QStringLiteral("Pear"));
    EXPECT_EQ(decoded.record, expected);
}

TEST(PluWireRecordTest, DecodeRefusesNumbersBeyondTheTableAndWrongSizes) {
    QByteArray bytes = plu_wire::encode(samplePlu()).bytes;
    bytes[66] = char(0x80); // Tare 0x802C
    plu_wire::Decoded decoded = plu_wire::decode(bytes);
    EXPECT_FALSE(decoded.ok());
    EXPECT_TRUE(decoded.error.startsWith(QLatin1String("Tare 32812")))
        << decoded.error.toStdString();

    bytes = plu_wire::encode(samplePlu()).bytes;
    bytes[60] = char(0xFF); // UnitPrice above 2147483647
    decoded = plu_wire::decode(bytes);
    EXPECT_TRUE(decoded.error.startsWith(QLatin1String("UnitPrice")))
        << decoded.error.toStdString();

    EXPECT_FALSE(plu_wire::decode(bytes.left(71)).ok());
}

TEST(IngredWireRecordTest, FourLeftAlignedLinesThenFourBlankOnes) {
    IngredRecord record;
    record.Message1 = QStringLiteral("SALT");
    record.Message2 = QString(50, QLatin1Char('b'));
    record.Message3 = QString(50, QLatin1Char('c')) + QString(10, QLatin1Char('X'));
    record.Message4 = QStringLiteral(" ");
    const EncodedRecord encoded = ingred_wire::encode(record);
    ASSERT_TRUE(encoded.ok()) << encoded.error.toStdString();
    const QByteArray& b = encoded.bytes;
    ASSERT_EQ(b.size(), 400);
    EXPECT_EQ(b.mid(0, 4), QByteArray("\x53\x41\x4C\x54"));
    EXPECT_EQ(b.mid(4, 46), blanks(46));
    EXPECT_EQ(b.mid(50, 50), QByteArray(50, 'b'));
    EXPECT_EQ(b.mid(100, 50), QByteArray(50, 'c'));
    EXPECT_EQ(b.mid(150, 50), blanks(50));
    EXPECT_EQ(b.mid(200, 200), blanks(200));
}

TEST(IngredWireRecordTest, AnEmptyRecordIsAllBlanks) {
    EXPECT_EQ(ingred_wire::encode(IngredRecord{}).bytes, blanks(400));
}

TEST(IngredWireRecordTest, RefusesACharacterOutsideTheCodePageNamingTheLine) {
    IngredRecord record;
    record.Message3 = QString::fromUtf8("Zucker 砂糖");
    const EncodedRecord encoded = ingred_wire::encode(record);
    EXPECT_FALSE(encoded.ok());
    EXPECT_TRUE(encoded.error.startsWith(QLatin1String("Message3"))) << encoded.error.toStdString();
    EXPECT_TRUE(encoded.bytes.isEmpty());
}
