// The numbers of an export with their separator and factor, and the map file's checks.

#include "columnmap/ColumnMap.h"
#include "columnmap/ScaledNumber.h"
#include "tables/Records.h"

#include <gtest/gtest.h>

namespace {

TEST(ScaledNumber, MovesTheSeparatorExactlyAndRoundsHalvesToEven) {
    const struct {
        const char* text;
        const char* separators;
        qint32 factor;
        IntWidth width;
        bool ok;
        qint32 value;
    } cases[] = {
        {"12,99", ",", 100, IntWidth::Int32, true, 1299},
        {"0,015", ",", 1000, IntWidth::Int16, true, 15},
        {" -2,5 ", ",", 1, IntWidth::Int16, true, -2},
        {"3,5", ",", 1, IntWidth::Int16, true, 4},
        {"0,0125", ",", 1000, IntWidth::Int16, true, 12}, // half: the even neighbour
        {"0,0135", ",", 1000, IntWidth::Int16, true, 14},
        {"0,01250001", ",", 1000, IntWidth::Int16, true, 13}, // past half
        {"0,355", ",", 100, IntWidth::Int32, true, 36},
        {"+007", ".", 10, IntWidth::Int16, true, 70},
        {",5", ",", 10, IntWidth::Int16, true, 5},
        {"5,", ",", 10, IntWidth::Int16, true, 50},
        {"12.99", ".,", 100, IntWidth::Int32, true, 1299}, // a workbook's number cell
        {"21474836,47", ",", 100, IntWidth::Int32, true, 2147483647},
        {"-327,68", ",", 100, IntWidth::Int16, true, -32768},
        // not numbers: the other separator, grouping, exponents, nothing
        {"12.99", ",", 100, IntWidth::Int32, false, 0},
        {"1.299,00", ",", 100, IntWidth::Int32, false, 0},
        {"1e3", ".", 1, IntWidth::Int32, false, 0},
        {"", ",", 1, IntWidth::Int32, false, 0},
        {",", ",", 1, IntWidth::Int32, false, 0},
        {"1,2,3", ",", 1, IntWidth::Int32, false, 0},
        // out of the field's range, also only after rounding
        {"327,68", ",", 100, IntWidth::Int16, false, 0},
        {"32767,5", ",", 1, IntWidth::Int16, false, 0},
        {"99999999999999999999", ".", 1, IntWidth::Int32, false, 0},
        {"-99999999999999999999", ".", 1, IntWidth::Int32, false, 0},
    };
    for (const auto& c : cases) {
        const ScaledNumberFormat format{QString::fromLatin1(c.separators), c.factor};
        const NumberConversion result =
            convertScaledNumber(QString::fromLatin1(c.text), format, c.width);
        EXPECT_EQ(result.ok, c.ok) << c.text << " " << result.error.toStdString();
        EXPECT_EQ(result.value, c.value) << c.text;
        EXPECT_EQ(result.error.isEmpty(), c.ok) << c.text;
    }
    EXPECT_EQ(convertScaledNumber("1.299,00", {",", 100}, IntWidth::Int32).error,
              QStringLiteral("\"1.299,00\" is not a number"));
    EXPECT_EQ(convertScaledNumber("327,68", {",", 100}, IntWidth::Int16).error,
              QStringLiteral("\"327,68\" times 100 is out of range (-32768 to 32767)"));
}

TEST(ColumnMapFile, ReadsEverySettingAndRefusesWhatItCannotUse) {
    const QByteArray full = R"({"table": "PLU", "encoding": "windows-1252",
        "decimalSeparator": ",", "skipRows": 2, "headerRow": true, "comment": "ERP export",
        "fields": {"pluno": " Art.-Nr. ", "ItemCode": 2, "ItemName1": {"column": "Name"},
                   "ItemName2": {"default": "-"}, "UnitPrice": {"column": "VK", "factor": 100},
                   "ValidDate": {"default": 3}, "Tare": {"column": 7, "factor": 1000,
                   "default": 0}, "GCode": {"default": -1}, "MessageNo": {"default": 0}}})";
    const ColumnMapRead read = parseColumnMap(full);
    ASSERT_TRUE(read.map) << read.error.toStdString();
    const ColumnMap& map = *read.map;
    EXPECT_EQ(map.kind, &pluKind());
    EXPECT_EQ(map.encoding, MapEncoding::Windows1252);
    EXPECT_EQ(map.decimalSeparator, u',');
    EXPECT_EQ(map.skipRows, 2);
    EXPECT_EQ(map.fields[0].column->described(), QStringLiteral("\"Art.-Nr.\""));
    EXPECT_EQ(map.fields[1].column->described(), QStringLiteral("2"));
    EXPECT_EQ(map.fields[3].defaultText, QStringLiteral("-"));
    EXPECT_EQ(map.fields[4].factor, 100);
    EXPECT_EQ(map.fields[6].column->position, 7);
    EXPECT_EQ(map.fields[6].defaultText, QStringLiteral("0"));
    EXPECT_EQ(map.fields[7].defaultText, QStringLiteral("-1"));

    const QByteArray ingred = R"({"table": "ingred", "fields": {"MessageNo": 1, "Message1": "Text",
        "Message2": {"default": ""}, "Message3": {"default": ""}, "Message4": {"default": ""}}})";
    const ColumnMapRead messages = parseColumnMap(ingred);
    ASSERT_TRUE(messages.map) << messages.error.toStdString();
    EXPECT_EQ(messages.map->encoding, MapEncoding::Detect);
    EXPECT_EQ(messages.map->decimalSeparator, u'.');

    // Each refusal, made from the ingredient map by one change.
    const struct {
        const char* from;
        const char* to;
        const char* says;
    } refusals[] = {
        {"\"fields\"", "\"fieldz\"", "\"fieldz\" is no setting of a column map"},
        {"\"ingred\"", "\"label\"", "\"table\" must be \"plu\" or \"ingred\""},
        {"\"Message1\": \"Text\"", "\"Mesage1\": 2", "\"Mesage1\" is no field of the INGRED table"},
        {"\"Message1\": \"Text\"", "\"Message1\": 0", "Message1: the column must be a header text"},
        {"\"Message1\": \"Text\"", "\"Message1\": 257",
         "Message1: the column must be a header text"},
        {"\"Message1\": \"Text\"", "\"Message1\": \"  \"", "Message1: the column must be a header"},
        {"\"Message1\": \"Text\"", "\"Message1\": {\"column\": 2, \"factor\": 10}",
         "Message1: it is a text, which takes no factor"},
        {"\"Message1\": \"Text\"", "\"Message1\": {\"default\": 5}",
         "Message1: the default must be a text"},
        {"\"Message1\": \"Text\"", "\"Message1\": {\"colum\": 2}",
         "\"colum\" is no setting of a field"},
        {"\"Message1\": \"Text\",", "", "Message1 needs a column or a default"},
        {"\"MessageNo\": 1", "\"MessageNo\": {\"column\": 1, \"factor\": 12}",
         "MessageNo: the factor must be 1, 10, 100"},
        {"\"MessageNo\": 1", "\"MessageNo\": {\"column\": 1, \"default\": 1}",
         "MessageNo needs a column and takes no default"},
        {"\"MessageNo\": 1", "\"MessageNo\": 1, \"messageno\": 2", "MessageNo is given twice"},
        {"\"table\"", "\"headerRow\": false, \"table\"",
         "Message1 names its column by header text, but \"headerRow\" is false"},
        {"\"table\"", "\"skipRows\": -1, \"table\"", "\"skipRows\" must be a whole number"},
        {"\"table\"", "\"skipRows\": 1.5, \"table\"", "\"skipRows\" must be a whole number"},
        {"\"table\"", "\"encoding\": \"latin1\", \"table\"", "\"encoding\" must be \"utf-8\""},
        {"\"table\"", "\"decimalSeparator\": \";\", \"table\"", "\"decimalSeparator\" must be"},
        {"\"table\"", "\"headerRow\": 1, \"table\"", "\"headerRow\" must be true or false"},
        {"\"Message2\": ", "\n\n\"Message2\" ", "line 4: "}, // where the JSON breaks
    };
    for (const auto& r : refusals) {
        QByteArray changed = ingred;
        changed.replace(r.from, r.to);
        const ColumnMapRead refused = parseColumnMap(changed);
        EXPECT_FALSE(refused.map) << r.to;
        EXPECT_TRUE(refused.error.contains(QLatin1String(r.says)))
            << r.to << ": " << refused.error.toStdString();
    }
    // A price no scale can hold as its default; a file that is not there.
    QByteArray price = full;
    price.replace("\"default\": -1", "\"default\": 40000");
    EXPECT_TRUE(parseColumnMap(price).error.startsWith(QLatin1String("GCode: the default must")));
    EXPECT_FALSE(readColumnMap(QStringLiteral("/nonexistent/map.json")).error.isEmpty());
    const ColumnMapRead example =
        readColumnMap(SCALEDESK_TEST_DATA "/../../packaging/erp-map.json");
    EXPECT_TRUE(example.map) << "the packaged example: " << example.error.toStdString();
    EXPECT_EQ(parseColumnMap("[1]").error,
              QStringLiteral("a column map is one JSON object { ... }"));
}

} // namespace
