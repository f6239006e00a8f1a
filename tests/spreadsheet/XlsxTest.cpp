// The .xlsx container: what the reader takes from the parts other writers produce, how it
// refuses damaged and crafted archives, and what the writer's files read back as.
#include "TestZip.h"

#include "spreadsheet/Unzip.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/XlsxWriter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

using testzip::Entry;

QByteArray xlsx(const QByteArray& rows, const QByteArray& shared = {}) {
    return testzip::archive(testzip::xlsxParts({{"Articles", testzip::worksheet(rows)}}, shared));
}

TEST(XlsxReader, EveryCellKindReadsAsTheXlsReaderGivesIt) {
    const QByteArray shared =
        "<si><t>007</t></si>"
        "<si><r><rPr><b/></rPr><t>Rich </t></r><r><t xml:space=\"preserve\">text </t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>HINT</t></rPh></si>"
        "<si><t>Line_x000D_&#10;two _x005F_x0041_</t></si>";
    const QByteArray rows =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"inlineStr\"><is><t>  0123 </t></is></c>"
        "<c r=\"IV1\"><v>1</v></c><c r=\"IW1\"><v>2</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>12.50</v></c><c r=\"B3\" t=\"n\"><v>1E+21</v></c>"
        "<c r=\"C3\" t=\"b\"><v>1</v></c><c r=\"D3\" t=\"b\"><v>0</v></c>"
        "<c r=\"E3\" t=\"e\"><v>#N/A</v></c><c r=\"F3\" t=\"str\"><f>\"P\"&amp;\"ears\"</f>"
        "<v>Pears</v></c><c r=\"G3\"><f>1/3</f><v>0.33333333333333331</v></c>"
        "<c r=\"H3\" s=\"1\"/><c r=\"I3\"><v>-3</v></c></row>"
        "<row><c><v>5</v></c><c t=\"inlineStr\"><is><t>next</t></is></c></row>";
    const WorkbookRead read = readXlsx(xlsx(rows, shared));
    ASSERT_TRUE(read.sheet) << read.error.toStdString();
    const QList<std::tuple<int, int, QString>> expected = {
        {0, 0, "007"},     {0, 1, "Rich text "}, {0, 2, "Line\r\ntwo _x0041_"},
        {0, 3, "  0123 "}, {0, 255, "1"},        {2, 0, "12.5"},
        {2, 1, "1e+21"},   {2, 2, "TRUE"},       {2, 3, "FALSE"},
        {2, 4, "#N/A"},    {2, 5, "Pears"},      {2, 6, "0.3333333333333333"},
        {2, 8, "-3"},      {3, 0, "5"},          {3, 1, "next"}};
    for (const auto& [row, col, text] : expected)
        EXPECT_EQ(read.sheet->text(row, col), text) << row << "," << col;
    EXPECT_EQ(read.sheet->cells.size(), expected.size()); // IW1 (column 257) is dropped
    EXPECT_EQ(read.sheet->name, QStringLiteral("Articles"));
}

TEST(XlsxReader, TheFirstWorksheetInWorkbookOrderEvenAfterAChartSheetWithPrefixedElements) {
    const auto parts = testzip::xlsxParts(
        {{"Chart", "<chartsheet/>", "chartsheet"},
         {"Zweite", // prefixed elements, as some writers give them
          "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
          "<x:sheetData><x:row r=\"1\"><x:c r=\"A1\"><x:v>2</x:v></x:c><x:c t=\"inlineStr\">"
          "<x:is><x:t>x</x:t></x:is></x:c></x:row></x:sheetData></x:worksheet>"},
         {"Third", testzip::worksheet("<row r=\"1\"><c r=\"A1\"><v>3</v></c></row>")}});
    const WorkbookRead read = readXlsx(testzip::archive(parts));
    ASSERT_TRUE(read.sheet) << read.error.toStdString();
    EXPECT_EQ(read.sheet->name, QStringLiteral("Zweite"));
    EXPECT_EQ(read.sheet->text(0, 0), QStringLiteral("2"));
    EXPECT_EQ(read.sheet->text(0, 1), QStringLiteral("x"));
}

QByteArray withEntry(const QByteArray& sheetXml, const std::function<void(Entry&)>& change) {
    auto parts = testzip::xlsxParts({{"S", sheetXml}});
    for (Entry& entry : parts) {
        if (entry.name == u"xl/worksheets/sheet1.xml")
            change(entry);
    }
    return testzip::archive(parts);
}

TEST(XlsxReader, DamagedAndCraftedArchivesGetAClearText) {
    const QByteArray good = xlsx("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    QByteArray flipped = good;
    flipped[flipped.indexOf("<v>1</v>") + 3] = '2'; // stored data no longer matches its CRC
    QList<Entry> many;
    for (int i = 0; i <= 10000; ++i)
        many.append({QStringLiteral("f%1").arg(i), "x"});
    const QByteArray zeros(65 * 1024 * 1024, '0');
    const QList<std::pair<QByteArray, const char*>> cases = {
        {good.left(good.size() / 2), "the zip archive is damaged (its directory cannot be read)"},
        {"PK\x03\x04 and nothing else", "the zip archive is damaged (its directory"},
        {flipped, "entry xl/worksheets/sheet1.xml cannot be unpacked"},
        {withEntry(zeros, [](Entry& e) { e.deflate = true; }),
         "entry xl/worksheets/sheet1.xml of the zip archive unpacks to more than 67108864 bytes"},
        {withEntry(zeros.left(70000), [](Entry& e) { e.deflate = true, e.declaredSize = 1000; }),
         "entry xl/worksheets/sheet1.xml cannot be unpacked"},
        {withEntry("x", [](Entry& e) { e.flags = 1; }), "the workbook is encrypted"},
        {testzip::archive(many), "the zip archive holds more than 10000 entries"},
        {testzip::archive({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                           {"content.xml", "<x/>"}}),
         "the file is an OpenDocument spreadsheet (.ods)"},
        {testzip::archive({{"readme.txt", "hello"}}),
         "the file is a zip archive but not an .xlsx workbook"},
        {testzip::archive(testzip::xlsxParts({{"C", "<chartsheet/>", "chartsheet"}})),
         "the workbook has no worksheet"},
        {xlsx("<row r=\"1\"><c r=\"A1\"><v>1</v></row>"),
         "the first worksheet of the workbook is damaged (line 1:"},
        {xlsx("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>3</v></c></row>", "<si><t>a</t></si>"),
         "cell A1 refers to shared string 3 of 1"},
        {xlsx("<row r=\"1\"><c r=\"B1\"><v>abc</v></c></row>"),
         "cell B1 holds \"abc\" where a number belongs"},
        {xlsx("<row r=\"1\"><c r=\"A0\"><v>1</v></c></row>"),
         "the worksheet names cell \"A0\", which a sheet does not have"},
        {xlsx("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"), "names cell \"XFE1\""},
        {xlsx("<row r=\"1048577\"><c><v>1</v></c></row>"), "names row \"1048577\""},
        {xlsx("", "<si><t>a</t>"), "the shared string table of the workbook is damaged"},
    };
    for (const auto& [bytes, error] : cases) {
        const WorkbookRead read = readXlsx(bytes);
        EXPECT_FALSE(read.sheet) << error;
        EXPECT_TRUE(read.error.contains(QLatin1String(error)))
            << "expected: " << error << "\n     got: " << read.error.toStdString();
    }
}

TEST(Unzip, WhatOneArchiveUnpacksIsBoundedInTotal) {
    const QByteArray zip =
        testzip::archive({{"a", QByteArray(600, 'a')}, {"b", QByteArray(600, 'b')}});
    UnzipLimits limits;
    limits.maxTotalBytes = 1000;
    Unzip archive(zip, limits);
    QString error;
    EXPECT_TRUE(archive.entry(QStringLiteral("A"), &error)); // names compare without case
    EXPECT_FALSE(archive.entry(QStringLiteral("b"), &error));
    EXPECT_EQ(error, QStringLiteral("entry b of the zip archive unpacks to more than 400 bytes, "
                                    "more than a workbook may take"));
}

TEST(XlsxWriter, EveryTextReadsBackAsItWasAndNumbersStayNumbers) {
    Sheet sheet;
    sheet.name = QStringLiteral("PLU 06.12.26");
    const QStringList texts = {"007",
                               "0123",
                               "12.5",
                               "-3",
                               "1e+21",
                               "0.30000000000000004",
                               "1.50",
                               "+7",
                               " 7",
                               "Äpfel € Ωμέγα",
                               "tab\there",
                               "cr\r\nlf\n",
                               "bell\x07",
                               "_x0041_ stays",
                               "_x005F_",
                               "a \"quoted\" <b>&amp;</b>",
                               QString(32767, QLatin1Char('x')),
                               "           Item Name1           ",
                               QString(QChar(0xD800)) + "lone"};
    for (int i = 0; i < texts.size(); ++i)
        sheet.setText(i / 4, i % 4, texts[i]);
    sheet.setText(70000, 255, QStringLiteral("far"));
    QString error;
    const auto bytes = xlsxBytes(sheet, &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    const WorkbookRead read = readXlsx(*bytes);
    ASSERT_TRUE(read.sheet) << read.error.toStdString();
    EXPECT_EQ(read.sheet->name, sheet.name);
    for (auto it = sheet.cells.cbegin(); it != sheet.cells.cend(); ++it)
        EXPECT_EQ(read.sheet->cells.value(it.key()), it.value())
            << it.value().left(40).toStdString();
    EXPECT_EQ(read.sheet->cells.size(), sheet.cells.size());
}

// printf, which libxlsxwriter writes numbers with, follows the program's LC_NUMERIC: a store's
// PC set to German must not turn 12.5 into "12,5" inside the workbook.
TEST(XlsxWriter, NumbersKeepTheirPointUnderADecimalCommaLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "de-DE"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            comma = name;
            break;
        }
    }
    if (!comma)
        GTEST_SKIP() << "this system has no locale with a decimal comma";
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 12.5);
    EXPECT_STREQ(printed, "12,5") << comma;

    Sheet sheet;
    sheet.name = QStringLiteral("Sheet1");
    const QStringList numbers = {"12.5", "0.30000000000000004", "-150.25", "1e+21"};
    for (int i = 0; i < numbers.size(); ++i)
        sheet.setText(i, 0, numbers[i]);
    QString error;
    const auto bytes = xlsxBytes(sheet, &error);
    std::setlocale(LC_NUMERIC, before.c_str());
    ASSERT_TRUE(bytes) << error.toStdString();
    const WorkbookRead read = readXlsx(*bytes);
    ASSERT_TRUE(read.sheet) << read.error.toStdString();
    for (int i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(read.sheet->text(i, 0), numbers[i]) << comma;
}

TEST(XlsxWriter, WhatASheetCannotHoldIsRefusedWithItsReason) {
    const QList<std::tuple<QString, int, QString, const char*>> cases = {
        {"a name longer than thirty-one chars", 0, "x", "the sheet name \"a name longer than"},
        {"Bad[name]", 0, "x", "the sheet name \"Bad[name]\" cannot be stored"},
        {"Sheet1", 1048576, "x", "a sheet holds at most 1048576 rows"},
        {"Sheet1", 0, QString(32768, QLatin1Char('x')),
         "the cell in row 1, column 1 holds more than 32767 characters"},
    };
    for (const auto& [name, row, text, expected] : cases) {
        Sheet sheet;
        sheet.name = name;
        sheet.setText(row, 0, text);
        QString error;
        EXPECT_FALSE(xlsxBytes(sheet, &error)) << expected;
        EXPECT_TRUE(error.startsWith(QLatin1String(expected))) << error.toStdString();
    }
}

} // namespace
