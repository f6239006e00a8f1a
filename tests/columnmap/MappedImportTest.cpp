// Exports read through a column map: each conversion and each refusal, from .csv bytes and
// from a workbook.

#include "columnmap/MappedImport.h"
#include "spreadsheet/WorkbookWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kErpMap = R"({"table": "plu", "encoding": "windows-1252",
    "decimalSeparator": ",", "skipRows": 1,
    "fields": {"PluNo": "Art.-Nr.", "ItemCode": {"column": "EAN", "default": 0},
               "ItemName1": "Bezeichnung", "ItemName2": {"default": ""},
               "UnitPrice": {"column": "VK-Preis", "factor": 100}, "ValidDate": {"default": 0},
               "Tare": {"column": "Tara kg", "factor": 1000, "default": 0},
               "GCode": {"default": 0}, "MessageNo": {"default": 7}}})";
// A title row to skip, then the header row, with blanks and case the map does not share.
const QByteArray kErpHead =
    "Export Filiale 12;;;;\r\n ART.-NR. ;EAN;Bezeichnung;VK-Preis;Tara kg\r\n";

// The records of an import, one line each, fields separated by '|'; or the last status
// text when the import refused the file.
QString importedRecords(const QByteArray& file, const QByteArray& mapJson,
                        QStringList* statuses = nullptr) {
    const ColumnMapRead read = parseColumnMap(mapJson);
    if (!read.map)
        return QStringLiteral("map: ") + read.error;
    QStringList shown;
    const std::optional<workbook::ImportedTable> imported =
        workbook::importMapped(file, QStringLiteral("export.csv"), *read.map,
                               [&shown](const QString& text) { shown.append(text); });
    if (statuses)
        *statuses = shown;
    if (!imported)
        return shown.value(shown.size() - 1);
    QStringList lines;
    for (int k = 1; k <= imported->count; ++k) {
        QStringList fields;
        for (int f = 0; f < read.map->kind->fields.size(); ++f)
            fields.append(read.map->kind->fields[f].kind == FieldKind::Text
                              ? imported->texts[k][f]
                              : QString::number(imported->numbers[k][f]));
        lines.append(fields.join(u'|'));
    }
    return lines.join(u'\n');
}

TEST(MappedImport, ConvertsEachFieldOrRefusesTheFileNamingRowColumnAndField) {
    QByteArray manyRows = kErpHead;
    for (int n = 1; n <= 601; ++n)
        manyRows += QByteArray::number(n) + ";;A;1,00;\r\n";
    const struct {
        const char* what;
        QByteArray body;  // below kErpHead
        const char* from; // one change to kErpMap
        const char* to;
        QString expected;
    } cases[] = {
        {"decimal comma, factors, defaults, Windows-1252, a blank line passed over",
         "101;4001234;K\xe4se;12,99;0,015\r\n;;;;\r\n\r\n102;;Brot;0,355;\r\n", "", "",
         "101|4001234|K\u00e4se||1299|0|15|0|7\n102|0|Brot||36|0|0|0|7"},
        {"Windows-1252 even where the bytes are also UTF-8", "1;;K\xc3\xa4se;1;\r\n", "", "",
         "1|0|K\u00c3\u00a4se||100|0|0|0|7"},
        {"UTF-8 as the map says", "1;;K\xc3\xa4se;1;\r\n", "windows-1252", "utf-8",
         "1|0|K\u00e4se||100|0|0|0|7"},
        {"UTF-8 said, other bytes found", "1;;K\xe4se;1;\r\n", "windows-1252", "utf-8",
         "Cannot import export.csv: it is not UTF-8 text, which the map says it is"},
        {"a column the file lacks", "1;;A;1;\r\n", "\"VK-Preis\"", "\"VK Preis\"",
         "Cannot import export.csv: sheet row 2 (the header row) has no column \"VK Preis\" "
         "for UnitPrice"},
        {"a position past the file's columns", "1;;A;1;\r\n", "\"Tara kg\"", "8",
         "Cannot import export.csv: Tare is in column H, but the file's rows end at column E"},
        {"a bad value on sheet row 7",
         "1;;A;1;\r\n2;;B;2;\r\n3;;C;3;\r\n4;;D;4;\r\n5;;E;12,9x;\r\n", "", "",
         "Cannot import export.csv: sheet row 7, column D (\"VK-Preis\"), UnitPrice: \"12,9x\" "
         "is not a number"},
        {"a point where the map says comma", "1;;A;12.99;\r\n", "", "",
         "Cannot import export.csv: sheet row 3, column D (\"VK-Preis\"), UnitPrice: \"12.99\" "
         "is not a number"},
        {"an empty price without a default", "1;;A; ;\r\n", "", "",
         "Cannot import export.csv: sheet row 3, column D (\"VK-Preis\"), UnitPrice: the cell "
         "is empty and the map gives no default"},
        {"a row without its number", ";;A;1;\r\n", "", "",
         "Cannot import export.csv: sheet row 3, column A (\"ART.-NR.\"), PluNo: the cell is "
         "empty and the map gives no default"},
        {"a price past the field's range", "1;;A;21474837;\r\n", "", "",
         "Cannot import export.csv: sheet row 3, column D (\"VK-Preis\"), UnitPrice: "
         "\"21474837\" times 100 is out of range (-2147483648 to 2147483647)"},
        {"more rows than the table holds", manyRows.mid(kErpHead.size()), "", "",
         "Cannot import export.csv: sheet row 603: the file holds more than 600 rows, more "
         "than the PLU table holds"},
    };
    for (const auto& c : cases) {
        QByteArray map = kErpMap;
        if (*c.from)
            map.replace(c.from, c.to);
        EXPECT_EQ(importedRecords(kErpHead + c.body, map), c.expected) << c.what;
    }

    // The same header twice: the map cannot tell which one is meant.
    EXPECT_EQ(
        importedRecords("Title\r\nArt.-Nr.;EAN;Bezeichnung;VK-Preis;Tara kg;EAN\r\n", kErpMap),
        QStringLiteral("Cannot import export.csv: sheet row 2 (the header row) has \"EAN\" in "
                       "columns B and F; the map cannot tell which one holds ItemCode"));
    // Positions without a header row, and an ingredient map.
    const QByteArray messages = R"({"table": "ingred", "headerRow": false, "fields": {
        "MessageNo": 2, "Message1": 1, "Message2": {"default": "-"}, "Message3": 3,
        "Message4": {"default": ""}}})";
    EXPECT_EQ(importedRecords("Salt,4\r\nMilk,5,x\r\n", messages),
              QStringLiteral("4|Salt|-| | \n5|Milk|-|x| "));
}

TEST(MappedImport, AWorkbookGivesTheImportsTableAndStatusTexts) {
    QTemporaryDir dir;
    Sheet sheet;
    sheet.name = QStringLiteral("Export");
    const QStringList rows[] = {{"Art.-Nr.", "EAN", "Bezeichnung", "VK-Preis", "Tara kg"},
                                {"3", "", "Pears", "2.49", "0.005"}, // number cells: a point
                                {"4", "44", "Figs", "1,5", ""}};     // text cells: the map's
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            sheet.setText(r + 1, c, rows[r][c]);
    const QString path = dir.filePath(QStringLiteral("export.xls"));
    QString error;
    ASSERT_TRUE(saveWorkbook(path, sheet, &error)) << error.toStdString();

    const ColumnMapRead map = parseColumnMap(kErpMap);
    ASSERT_TRUE(map.map);
    PluTable table;
    table.reset();
    QStringList statuses;
    ASSERT_TRUE(workbook::importMappedTable(path, *map.map, table, [&](const QString& text) {
        statuses.append(text);
    })) << statuses.join(u'\n').toStdString();
    EXPECT_EQ(
        statuses,
        QStringList({" Open Excel File ", " Initializing ",
                     " Data Format Changing ....  PLU No      ",
                     " Data Format Changing ....  3      ", " Data Format Changing ....  4      ",
                     " Data Format Changing ....        ", "PLU Number is 2", " Data is End "}));
    EXPECT_EQ(table.count, 2);
    EXPECT_EQ(table.grid.text(1, 3), QStringLiteral("Pears"));
    EXPECT_EQ(table.grid.text(1, 5), QStringLiteral("249"));
    EXPECT_EQ(table.records[1].UnitPrice, 249);
    EXPECT_EQ(table.records[1].Tare, 5);
    EXPECT_EQ(table.records[2].ItemCode, 44);
    EXPECT_EQ(table.records[2].UnitPrice, 150);
    EXPECT_EQ(table.records[2].MessageNo, 7);
}

} // namespace
