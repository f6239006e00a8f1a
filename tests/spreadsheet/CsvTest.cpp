// The .csv container: the dialects the reader tells apart, the damage it names, and the
// writer's bytes with their guard against formulas.
#include "spreadsheet/CsvReader.h"
#include "spreadsheet/CsvWriter.h"

#include <gtest/gtest.h>

namespace {

using Rows = QVector<QStringList>;

Rows rowsOf(const Sheet& sheet) {
    Rows rows;
    for (auto it = sheet.cells.cbegin(); it != sheet.cells.cend(); ++it) {
        const int row = Sheet::rowOf(it.key());
        const int col = Sheet::colOf(it.key());
        if (rows.size() <= row)
            rows.resize(row + 1);
        while (rows[row].size() <= col)
            rows[row].append(QString());
        rows[row][col] = it.value();
    }
    return rows;
}

TEST(CsvReader, TellsEncodingAndSeparatorAndKeepsEveryTextAsWritten) {
    const QList<std::pair<QByteArray, Rows>> cases = {
        {"\xEF\xBB\xBF"
         "PLU No,Item Code\r\n1,0123\r\n",
         {{"PLU No", "Item Code"}, {"1", "0123"}}},
        {"a;b,c;d\n1,5;2\n", {{"a", "b,c", "d"}, {"1,5", "2"}}},      // semicolons, decimal commas
        {"\xC4pfel \x80;x\n", {{QString::fromUtf8("Äpfel €"), "x"}}}, // Windows-1252
        {"\xC3\x84pfel \xE2\x82\xAC,x", {{QString::fromUtf8("Äpfel €"), "x"}}}, // UTF-8, no BOM
        {QByteArray("\xFF\xFE"
                    "a\0,\0\xA9\0\n\0",
                    10),
         {{"a", QString::fromUtf8("©")}}},
        {"\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nx\n",
         {{"a,b", "say \"hi\"", "two\r\nlines"}, {"x"}}},
        {"  007 ,\"  0123\",,\r\rlast",
         {{"  007 ", "  0123"}, {}, {"last"}}},       // CR alone ends a row
        {"one\nb;c;d\n", {{"one"}, {"b", "c", "d"}}}, // a one-column first row: the file decides
        {"\"a;b\",c\n", {{"a;b", "c"}}},              // separators inside quotes do not count
        {"5\" screen,x\n", {{"5\" screen", "x"}}},    // a quote inside an unquoted cell stays
        {"\"'=SUM(A1)\",\"''+1\",\"'-x\",\"'@a\",'abc,\"'\",-3\n",
         {{"=SUM(A1)", "'+1", "-x", "@a", "'abc", "'", "-3"}}},
        {"", {}},
    };
    for (const auto& [bytes, expected] : cases) {
        const WorkbookRead read = readCsv(bytes);
        ASSERT_TRUE(read.sheet) << bytes.toStdString() << ": " << read.error.toStdString();
        EXPECT_EQ(rowsOf(*read.sheet), expected) << bytes.toStdString();
        EXPECT_EQ(read.sheet->name, QStringLiteral("Sheet1"));
    }
}

TEST(CsvReader, DamageAndFilesTooLargeForASheetAreNamed) {
    const QList<std::pair<QByteArray, const char*>> cases = {
        {"a,b\n\"open,c\nd\n", "the quoted cell that starts on line 2 is not closed"},
        {"a\n\"x\ny\"z,b\n", "line 3: text follows the closing quote of a cell"},
        {QByteArray("PK\0\0abc", 7), "the file holds zero bytes, so it is not a text (.csv) file"},
        {QByteArray("\xFF\xFE\x00\xD8\x61\0", 6), // a lone surrogate
         "the file starts like UTF-16 text but is not valid UTF-16"},
        {QByteArray("\xFF\xFEz\0\0\0", 6), // a zero character
         "the file starts like UTF-16 text but is not valid UTF-16"},
        {QByteArray((1 << 20) + 1, '\n') + "x", "the file has more than 1048576 rows"},
        {"a,b,c\nd,e,f,g,h,i,j,k,l", "the file has more than 10 cells"},
    };
    for (const auto& [bytes, error] : cases) {
        const WorkbookRead read = readCsv(bytes, 10);
        EXPECT_FALSE(read.sheet) << error;
        EXPECT_EQ(read.error, QLatin1String(error));
    }
}

TEST(CsvWriter, BomCommasCrlfBareNumbersQuotedGuardedTexts) {
    Sheet sheet;
    sheet.setText(0, 0, QStringLiteral("PLU No"));
    sheet.setText(0, 2, QStringLiteral("say \"hi\""));
    sheet.setText(1, 0, QStringLiteral("12.5"));
    sheet.setText(1, 1, QStringLiteral("007"));
    sheet.setText(1, 2, QStringLiteral("-3"));
    sheet.setText(3, 0, QStringLiteral("=HYPERLINK(\"x\")"));
    sheet.setText(3, 1, QStringLiteral("'@x"));
    sheet.setText(3, 2, QStringLiteral("'x"));
    QString error;
    EXPECT_EQ(csvBytes(sheet, &error),
              QByteArray("\xEF\xBB\xBF"
                         "\"PLU No\",,\"say \"\"hi\"\"\"\r\n"
                         "12.5,\"007\",-3\r\n"
                         "\r\n"
                         "\"'=HYPERLINK(\"\"x\"\")\",\"''@x\",\"'x\"\r\n"));
}

TEST(CsvWriter, AZeroCharacterIsRefusedAsItsReaderWouldRefuseIt) {
    Sheet sheet;
    sheet.setText(2, 1, QStringLiteral("a") + QChar(0));
    QString error;
    EXPECT_FALSE(csvBytes(sheet, &error));
    EXPECT_EQ(error, QStringLiteral("the cell in row 3, column 2 holds a zero character, which a "
                                    ".csv file cannot carry"));
}

TEST(CsvWriter, EveryTextReadsBackUnchanged) {
    const QStringList texts = {"=1+1",  "+49 30",
                               "-x",    "@SUM(A1)",
                               "'=1",   "''-2",
                               "'",     "'plain",
                               "-3",    "-3.0",
                               "0123",  " 7 ",
                               "a,b;c", "two\r\nlines\rand\n",
                               "\"",    QString::fromUtf8("Äpfel € Ωμέγα"),
                               "\t=x"};
    Sheet sheet;
    sheet.name = QStringLiteral("Sheet1");
    for (int i = 0; i < texts.size(); ++i)
        sheet.setText(i % 5, i / 5, texts[i]);
    QString error;
    const auto bytes = csvBytes(sheet, &error);
    ASSERT_TRUE(bytes);
    const WorkbookRead read = readCsv(*bytes);
    ASSERT_TRUE(read.sheet) << read.error.toStdString();
    EXPECT_EQ(read.sheet->cells, sheet.cells);
}

} // namespace
