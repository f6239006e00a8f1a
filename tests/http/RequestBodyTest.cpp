// A send request's body in every form, read and checked as the server does before anything
// is started: what is accepted, and for what is not the status, row and field it names.
#include "http/SendBody.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QJsonObject pluRow(int number) {
    return QJsonObject{{"PluNo", number},
                       {"ItemCode", 1000 + number},
                       {"ItemName1", "Apples"},
                       {"ItemName2", "Cox"},
                       {"UnitPrice", 299},
                       {"ValidDate", 5},
                       {"Tare", 12},
                       {"GCode", 3},
                       {"MessageNo", 0}};
}

QJsonObject ingredRow() {
    return QJsonObject{{"MessageNo", 1},
                       {"Message1", "Flour"},
                       {"Message2", ""},
                       {"Message3", ""},
                       {"Message4", ""}};
}

// {"rows": [row 1, row 2 changed by `change`], plus `extra` members}.
QByteArray pluJson(const std::function<void(QJsonObject&)>& change, QJsonObject extra = {}) {
    QJsonObject second = pluRow(2);
    change(second);
    extra.insert("rows", QJsonArray{pluRow(1), second});
    return QJsonDocument(extra).toJson();
}

QByteArray ingredJson(const std::function<void(QJsonObject&)>& change) {
    QJsonObject row = ingredRow();
    change(row);
    return QJsonDocument(QJsonObject{{"rows", QJsonArray{row}}}).toJson();
}

auto set(const char* field, const QJsonValue& value) {
    return [field, value](QJsonObject& row) { row.insert(field, value); };
}
const auto unchanged = [](QJsonObject&) {};

struct BodyCase {
    const char* name;
    bool plu;
    BodyForm form;
    QByteArray body;
    QueryItems query;
    int status; // 0: accepted
    int row;
    const char* field;
};

const QByteArray kCsvHead = "PLU No,Item Code,Item Name1,Item Name2,U/Price,Valid Date,Tare,"
                            "G Code,Message No\n";

std::vector<BodyCase> cases() {
    const QByteArray plu = pluJson(unchanged);
    QJsonArray many;
    for (int i = 1; i <= 601; ++i)
        many.append(pluRow(i));
    return {
        {"json accepted", true, BodyForm::Json, plu, {}, 0, 0, ""},
        {"json with options",
         true,
         BodyForm::Json,
         pluJson(unchanged,
                 {{"scales", QJsonArray{"Meat"}}, {"selection", "1-2"}, {"changed", true}}),
         {},
         0,
         0,
         ""},
        {"missing field",
         true,
         BodyForm::Json,
         pluJson([](QJsonObject& r) { r.remove("Tare"); }),
         {},
         422,
         2,
         "Tare"},
        {"unknown field",
         true,
         BodyForm::Json,
         pluJson(set("Colour", "red")),
         {},
         422,
         2,
         "Colour"},
        {"number as text",
         true,
         BodyForm::Json,
         pluJson(set("UnitPrice", "299")),
         {},
         422,
         2,
         "UnitPrice"},
        {"fraction", true, BodyForm::Json, pluJson(set("UnitPrice", 2.5)), {}, 422, 2, "UnitPrice"},
        {"beyond the field", true, BodyForm::Json, pluJson(set("Tare", 40000)), {}, 422, 2, "Tare"},
        {"negative: the wire cannot",
         true,
         BodyForm::Json,
         pluJson(set("Tare", -1)),
         {},
         422,
         2,
         "Tare"},
        {"number beyond the scale",
         true,
         BodyForm::Json,
         pluJson(set("PluNo", -3)),
         {},
         422,
         2,
         "PluNo"},
        {"code page",
         true,
         BodyForm::Json,
         pluJson(set("ItemName1", "\u03a9mega")),
         {},
         422,
         2,
         "ItemName1"},
        {"longer than the scale keeps",
         true,
         BodyForm::Json,
         pluJson(set("ItemName2", QString(29, 'x'))),
         {},
         422,
         2,
         "ItemName2"},
        {"text as number",
         true,
         BodyForm::Json,
         pluJson(set("ItemName1", 7)),
         {},
         422,
         2,
         "ItemName1"},
        {"row not an object", true, BodyForm::Json, R"({"rows": [1]})", {}, 422, 1, ""},
        {"too many rows",
         true,
         BodyForm::Json,
         QJsonDocument(QJsonObject{{"rows", many}}).toJson(),
         {},
         422,
         0,
         "rows"},
        {"no rows", true, BodyForm::Json, R"({"rows": []})", {}, 422, 0, "rows"},
        {"not JSON", true, BodyForm::Json, "{\"rows\": [", {}, 400, 0, ""},
        {"not an object", true, BodyForm::Json, "[]", {}, 400, 0, ""},
        {"query beside JSON", true, BodyForm::Json, plu, {{"changed", "true"}}, 400, 0, ""},
        {"unknown member",
         true,
         BodyForm::Json,
         pluJson(unchanged, {{"price", 1}}),
         {},
         422,
         0,
         "price"},
        {"selection past the rows",
         true,
         BodyForm::Json,
         pluJson(unchanged, {{"selection", "3"}}),
         {},
         422,
         0,
         "selection"},
        {"reversed selection",
         true,
         BodyForm::Json,
         pluJson(unchanged, {{"selection", "2-1"}}),
         {},
         422,
         0,
         "selection"},
        {"selection not a row",
         true,
         BodyForm::Json,
         pluJson(unchanged, {{"selection", "one"}}),
         {},
         422,
         0,
         "selection"},
        {"scale twice",
         true,
         BodyForm::Json,
         pluJson(unchanged, {{"scales", QJsonArray{"Meat", "meat"}}}),
         {},
         422,
         0,
         "scales"},
        {"changed not a switch",
         true,
         BodyForm::Json,
         pluJson(unchanged, {{"changed", "yes"}}),
         {},
         422,
         0,
         "changed"},
        {"ingred accepted", false, BodyForm::Json, ingredJson(unchanged), {}, 0, 0, ""},
        {"ingred line too long",
         false,
         BodyForm::Json,
         ingredJson(set("Message3", QString(51, 'x'))),
         {},
         422,
         1,
         "Message3"},
        {"plu file",
         true,
         BodyForm::TableFile,
         "1,1001,\"Apples\",\"Cox\",299,5,12,3,0\r\n2,1002,\"Pears\",\"\",199,5,0,3,0\r\n",
         {{"scales", "Meat"}, {"selection", "2"}},
         0,
         0,
         ""},
        {"plu file, bad line",
         true,
         BodyForm::TableFile,
         "1,1001,\"Apples\",\"Cox\",299,5,12,3,0\r\n2,1002,\"Pears\",\"\",199,5,abc,3,0\r\n",
         {},
         422,
         2,
         "Tare"},
        {"empty plu file", true, BodyForm::TableFile, "", {}, 422, 0, ""},
        {"ingred file for plu",
         true,
         BodyForm::TableFile,
         "1,\"Flour\",\"\",\"\",\"\"\r\n",
         {},
         422,
         1,
         "ItemCode"},
        {"csv", true, BodyForm::Csv, kCsvHead + "1,1001,Apples,Cox,299,5,12,3,\n", {}, 0, 0, ""},
        {"csv, bad cell",
         true,
         BodyForm::Csv,
         kCsvHead + "1,1001,Apples,Cox,299,5,12,3,0\n2,1002,Pears,,1.2.3,5,0,3,0\n",
         {},
         422,
         2,
         "UnitPrice"},
        {"csv, decimal comma shifts the row",
         true,
         BodyForm::Csv,
         kCsvHead + "1,1001,Apples,Cox,299,5,12,3,0\n2,1002,Pears,,3,49,5,0,3,0\n",
         {},
         422,
         2,
         ""},
        {"csv, unknown parameter",
         true,
         BodyForm::Csv,
         kCsvHead + "1,1,A,,1,1,1,1,1\n",
         {{"scale", "Meat"}},
         400,
         0,
         "scale"},
        {"not an xlsx workbook", true, BodyForm::Xlsx, "PK\x03\x04 broken", {}, 400, 0, ""},
        {"not an xls workbook", true, BodyForm::Xls, "plain text", {}, 400, 0, ""},
    };
}

class RequestBodyTest : public testing::TestWithParam<BodyCase> {};

TEST_P(RequestBodyTest, AcceptsOrNamesTheFirstProblem) {
    const BodyCase& c = GetParam();
    const auto read = c.plu ? readSendBody<PluRecord>(c.body, c.form, c.query)
                            : readSendBody<IngredRecord>(c.body, c.form, c.query);
    if (c.status == 0) {
        const auto* problem = std::get_if<RequestProblem>(&read);
        ASSERT_EQ(problem, nullptr) << problem->text.toStdString();
        return;
    }
    const auto* problem = std::get_if<RequestProblem>(&read);
    ASSERT_NE(problem, nullptr);
    EXPECT_EQ(problem->status, c.status) << problem->text.toStdString();
    EXPECT_EQ(problem->row, c.row) << problem->text.toStdString();
    EXPECT_EQ(problem->field, QString::fromLatin1(c.field)) << problem->text.toStdString();
    EXPECT_FALSE(problem->text.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Forms, RequestBodyTest, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<BodyCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// What is accepted is what goes to the service: the values, the options, the rows in order.
TEST(RequestBodyTest, AcceptedRequestCarriesRowsAndOptions) {
    const auto read = readSendBody<PluRecord>(
        "1,1001,\"Apples\",\"Cox\",299,5,12,3,0\r\n2,1002,\"Pears\",\"\",199,5,0,3,7\r\n",
        BodyForm::TableFile, {{"scales", "Meat"}, {"scales", "Deli"}, {"selection", "2"}});
    const SendRequest& request = std::get<SendRequest>(read);
    const auto& rows = std::get<std::vector<PluRecord>>(request.rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].ItemName1, "Pears");
    EXPECT_EQ(rows[1].MessageNo, 7);
    EXPECT_EQ(request.scales, QStringList({"Meat", "Deli"}));
    EXPECT_EQ(request.selection.choice, DownloadChoice::One);
    EXPECT_EQ(request.selection.oneNo, "2");
    EXPECT_FALSE(request.changed);
}

} // namespace
