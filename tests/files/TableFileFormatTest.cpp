#include "files/TableFileFormat.h"
#include "tables/Records.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

PluRecord plu(qint16 pluNo, qint32 itemCode, const QString& name1, const QString& name2,
              qint32 unitPrice, qint16 validDate, qint16 tare, qint16 gCode, qint16 messageNo) {
    return PluRecord{pluNo, itemCode, name1, name2, unitPrice, validDate, tare, gCode, messageNo};
}

IngredRecord ingred(qint16 messageNo, const QString& m1, const QString& m2, const QString& m3,
                    const QString& m4) {
    IngredRecord record;
    record.MessageNo = messageNo;
    record.Message1 = m1;
    record.Message2 = m2;
    record.Message3 = m3;
    record.Message4 = m4;
    return record;
}

TEST(TableFileBytes, WorkedExamplesAndNegativeNumbers) {
    const PluRecord a = plu(1, 0, "A", " ", 100, 0, 0, 0, 0);
    const FormattedTableFile pluFile = formatTableFile<PluRecord>(std::span(&a, 1));
    ASSERT_TRUE(pluFile.ok()) << pluFile.error.toStdString();
    EXPECT_EQ(pluFile.bytes, hex("312C302C2241222C2220222C3130302C302C302C302C300D0A"));
    EXPECT_EQ(pluFile.bytes.size(), 25);

    const PluRecord negative = plu(-5, -1, " ", " ", -100, -2, -3, -4, -6);
    EXPECT_EQ(formatTableFile<PluRecord>(std::span(&negative, 1)).bytes,
              QByteArray("-5,-1,\" \",\" \",-100,-2,-3,-4,-6\r\n"));

    const IngredRecord seven = ingred(7, "A", " ", " ", " ");
    const FormattedTableFile ingredFile = formatTableFile<IngredRecord>(std::span(&seven, 1));
    EXPECT_EQ(ingredFile.bytes, hex("372C2241222C2220222C2220222C2220220D0A"));
    EXPECT_EQ(ingredFile.bytes.size(), 19);

    EXPECT_TRUE(formatTableFile<PluRecord>({}).bytes.isEmpty());
}

TEST(TableFileBytes, TextsAreWindows1252) {
    const QString dessert = QStringLiteral("Crème brûlée");
    const PluRecord record = plu(1, 0, dessert, QStringLiteral("5 €"), 0, 0, 0, 0, 0);
    const QByteArray bytes = formatTableFile<PluRecord>(std::span(&record, 1)).bytes;
    EXPECT_EQ(bytes, QByteArray("1,0,\"Cr\xE8me br\xFBl\xE9"
                                "e\",\"5 \x80\",0,0,0,0,0\r\n"));

    const ParsedTableFile<PluRecord> read = parseTableFile<PluRecord>(bytes);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.records.at(0).ItemName1, dessert);
    EXPECT_EQ(read.records.at(0).ItemName2, QStringLiteral("5 €"));
}

// What the writer writes, the reader gives back unchanged.
template <typename Record> void expectRoundTrip(const std::vector<Record>& records) {
    const FormattedTableFile file = formatTableFile<Record>(records);
    ASSERT_TRUE(file.ok()) << file.error.toStdString();
    const ParsedTableFile<Record> read = parseTableFile<Record>(file.bytes);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.records, records);
}

TEST(TableFileRoundTrip, RecordsOfBothKindsComeBackUnchanged) {
    expectRoundTrip(std::vector<PluRecord>{
        plu(1, 0, "A", " ", 100, 0, 0, 0, 0),
        plu(std::numeric_limits<qint16>::min(), std::numeric_limits<qint32>::min(), "a,b", "x'y",
            std::numeric_limits<qint32>::max(), 32767, -1, 9, 200),
        plu(600, 123456789, QStringLiteral("A name much longer than twenty-eight chars"),
            QStringLiteral("Ünïcödé ß"), 1, 2, 3, 4, 5),
        plu(7, 1, "", "", 0, 0, 0, 0, 0), // empty texts survive the writer as ""
    });
    std::vector<IngredRecord> messages; // a full table
    for (int i = 1; i <= 200; ++i)
        messages.push_back(ingred(qint16(-i), QStringLiteral("Zutaten %1: Weizenmehl, Öl").arg(i),
                                  " ", QString(50 + i, QLatin1Char('x')), "€"));
    expectRoundTrip(messages);
}

TEST(TableFileLines, LfEndsAMissingLastEndAndAnEmptyFile) {
    const QByteArray crlf = "1,\"a\",\"b\",\"c\",\"d\"\r\n2,\"e\",\"f\",\"g\",\"h\"\r\n";
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    const QByteArray unterminated = crlf.chopped(2);
    const QByteArray mixed = "1,\"a\",\"b\",\"c\",\"d\"\n2,\"e\",\"f\",\"g\",\"h\"";
    const ParsedTableFile<IngredRecord> expected = parseTableFile<IngredRecord>(crlf);
    ASSERT_TRUE(expected.ok());
    ASSERT_EQ(expected.records.size(), 2u);
    EXPECT_EQ(expected.records[1].Message4, QStringLiteral("h"));
    for (const QByteArray& bytes : {lf, unterminated, mixed}) {
        const ParsedTableFile<IngredRecord> read = parseTableFile<IngredRecord>(bytes);
        ASSERT_TRUE(read.ok()) << bytes.toStdString() << ": " << read.error.toStdString();
        EXPECT_EQ(read.records, expected.records);
    }

    const ParsedTableFile<PluRecord> empty = parseTableFile<PluRecord>(QByteArray());
    EXPECT_TRUE(empty.ok());
    EXPECT_TRUE(empty.records.empty());
}

struct BadFile {
    const char* what;
    QByteArray bytes;
    const char* error;
    bool ingred = false; // read as an ingredient file, else as a PLU file
};

void PrintTo(const BadFile& c, std::ostream* os) {
    *os << c.what;
}

const QByteArray kGoodPlu = "1,0,\"A\",\" \",100,0,0,0,0\r\n";
const QByteArray kGoodIngred = "7,\"A\",\" \",\" \",\" \"\r\n";

QByteArray repeated(const QByteArray& line, int times) {
    QByteArray bytes;
    for (int i = 0; i < times; ++i)
        bytes += line;
    return bytes;
}

class BadTableFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadTableFile, IsRefusedNamingLineAndField) {
    const auto expectRefused = [](const auto& read) {
        EXPECT_FALSE(read.ok());
        EXPECT_TRUE(read.records.empty());
        EXPECT_EQ(read.error.toStdString(), GetParam().error);
    };
    if (GetParam().ingred)
        expectRefused(parseTableFile<IngredRecord>(GetParam().bytes));
    else
        expectRefused(parseTableFile<PluRecord>(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Plu, BadTableFile,
    ::testing::Values(
        BadFile{"missing last field", "1,0,\"A\",\" \",100,0,0,0\r\n",
                "line 1, MessageNo: missing"},
        BadFile{"missing text field", kGoodPlu + "2,0,\"A\"\r\n", "line 2, ItemName2: missing"},
        BadFile{"bad number", kGoodPlu + kGoodPlu + "3,0,\"A\",\" \",100,0,abc,0,0\r\n",
                "line 3, Tare: \"abc\" is not a number"},
        BadFile{"empty number", "1,,\"A\",\" \",100,0,0,0,0\r\n",
                "line 1, ItemCode: \"\" is not a number"},
        BadFile{"fraction", "1,0,\"A\",\" \",100,0,12.5,0,0\r\n",
                "line 1, Tare: \"12.5\" is not an integer"},
        BadFile{"blank before a number", "1, 0,\"A\",\" \",100,0,0,0,0\r\n",
                "line 1, ItemCode: \" 0\" has blanks around it, which are not allowed"},
        BadFile{"plus sign", "1,0,\"A\",\" \",+5,0,0,0,0\r\n",
                "line 1, UnitPrice: \"+5\" has a plus sign, which is not allowed"},
        BadFile{"exponent", "1,0,\"A\",\" \",1e3,0,0,0,0\r\n",
                "line 1, UnitPrice: \"1e3\" has an exponent, which is not allowed"},
        BadFile{"NUL byte in a number", QByteArray("1,0,\"A\",\" \",1") + '\0' + "2,0,0,0,0\r\n",
                "line 1, UnitPrice: \"1\\x002\" is not a number"},
        BadFile{"control bytes in a text", "1,0,A\x01\x81\t,\" \",100,0,0,0,0\r\n",
                "line 1, ItemName1: \"A\\x01\\x81\\t\" is not in double quotes"},
        BadFile{"16-bit above range", "32768,0,\"A\",\" \",100,0,0,0,0\r\n",
                "line 1, PluNo: \"32768\" is out of range (-32768 to 32767)"},
        BadFile{"16-bit below range", "1,0,\"A\",\" \",100,0,0,0,-32769\r\n",
                "line 1, MessageNo: \"-32769\" is out of range (-32768 to 32767)"},
        BadFile{"32-bit above range", "1,2147483648,\"A\",\" \",100,0,0,0,0\r\n",
                "line 1, ItemCode: \"2147483648\" is out of range (-2147483648 to 2147483647)"},
        BadFile{"32-bit below range", "1,0,\"A\",\" \",-2147483649,0,0,0,0\r\n",
                "line 1, UnitPrice: \"-2147483649\" is out of range (-2147483648 to "
                "2147483647)"},
        BadFile{"huge number", "1,0,\"A\",\" \",99999999999999999999999,0,0,0,0\r\n",
                "line 1, UnitPrice: \"99999999999999999999999\" is out of range (-2147483648 "
                "to 2147483647)"},
        BadFile{"unterminated quote", "1,0,\"A,100,0,0,0,0\r\n",
                "line 1, ItemName1: no closing double quote"},
        BadFile{"unquoted text", "1,0,A,\" \",100,0,0,0,0\r\n",
                "line 1, ItemName1: \"A\" is not in double quotes"},
        BadFile{"text after the quote", "1,0,\"A\"x,\" \",100,0,0,0,0\r\n",
                "line 1, ItemName1: unexpected characters after the closing double quote"},
        BadFile{"extra field", "1,0,\"A\",\" \",100,0,0,0,0,0\r\n", "line 1: more than 9 fields"},
        BadFile{"empty line", kGoodPlu + "\r\n" + kGoodPlu, "line 2 is empty"},
        BadFile{"lone CR line end", "1,0,\"A\",\" \",100,0,0,0,0\r",
                "line 1, MessageNo: \"0\\r\" is not a number"},
        BadFile{"601 lines", repeated(kGoodPlu, 601), "line 601: more than 600 records"}));

INSTANTIATE_TEST_SUITE_P(
    Ingred, BadTableFile,
    ::testing::Values(
        BadFile{"missing field", kGoodIngred + "8,\"A\",\" \",\" \"\n", "line 2, Message4: missing",
                true},
        BadFile{"bad number", "x7,\"A\",\" \",\" \",\" \"\r\n",
                "line 1, MessageNo: \"x7\" is not a number", true},
        BadFile{"out of range", "40000,\"A\",\" \",\" \",\" \"\r\n",
                "line 1, MessageNo: \"40000\" is out of range (-32768 to 32767)", true},
        BadFile{"extra field", "7,\"A\",\" \",\" \",\" \",\" \"\r\n", "line 1: more than 5 fields",
                true},
        BadFile{"unterminated quote", "7,\"A\",\" \",\" \",\" \r\n",
                "line 1, Message4: no closing double quote", true},
        BadFile{"201 lines", repeated(kGoodIngred, 201), "line 201: more than 200 records", true}));

TEST(TableFileLimits, AFullPluTableIsRead) {
    EXPECT_EQ(parseTableFile<PluRecord>(repeated(kGoodPlu, 600)).records.size(), 600u);
}

TEST(TableFileLimits, LongGarbageIsShownShortened) {
    const QByteArray bytes = "1," + QByteArray(100, 'z') + ",\"A\",\" \",100,0,0,0,0\r\n";
    const QString error = parseTableFile<PluRecord>(bytes).error;
    EXPECT_EQ(error, QStringLiteral("line 1, ItemCode: \"%1...\" is not a number")
                         .arg(QString(40, QLatin1Char('z'))));
}

TEST(TableFileWriter, RefusesTextsTheFormatCannotHold) {
    const struct {
        QString text;
        QString error;
    } cases[] = {
        {QStringLiteral("say \"hi\""),
         QStringLiteral("record 2, ItemName2: a double quote cannot be stored in the file")},
        {QStringLiteral("two\nlines"),
         QStringLiteral("record 2, ItemName2: a line break cannot be stored in the file")},
        {QStringLiteral("Gdańsk"), QStringLiteral("record 2, ItemName2: \"ń\" cannot be stored in "
                                                  "the file (not in Windows-1252)")},
        {QStringLiteral("🍰"), QStringLiteral("record 2, ItemName2: \"🍰\" cannot be stored in "
                                             "the file (not in Windows-1252)")},
    };
    for (const auto& c : cases) {
        const std::vector<PluRecord> records = {plu(1, 0, "A", " ", 0, 0, 0, 0, 0),
                                                plu(2, 0, "B", c.text, 0, 0, 0, 0, 0)};
        const FormattedTableFile file = formatTableFile<PluRecord>(records);
        EXPECT_EQ(file.error, c.error);
        EXPECT_TRUE(file.bytes.isEmpty());
    }
}

} // namespace
