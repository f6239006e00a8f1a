// The GUI-free parts of editing the grids: clipboard blocks, grid edits and price changes.

#include "support/TextPrinting.h"
#include "tables/CellBlockText.h"
#include "tables/GridEdit.h"
#include "tables/GridSearch.h"
#include "tables/PriceChange.h"
#include "tables/Table.h"

#include <gtest/gtest.h>

namespace {

// What a spreadsheet program puts on the clipboard for three rows: a name with a line break
// and quotes, accents, an empty cell in the middle and one at the end.
const QString kSpreadsheetText = QString::fromUtf8("1\t4711\tCrème brûlée\t\t1990\r\n"
                                                   "2\t4712\t\"Pain \"\"rustique\"\"\nau levain\"\t"
                                                   "Bäckerei\t350\r\n"
                                                   "3\t\t\"Tab\there\"\tÆblegrød\t\r\n");
const CellBlock kSpreadsheetBlock{
    {"1", "4711", QString::fromUtf8("Crème brûlée"), "", "1990"},
    {"2", "4712", "Pain \"rustique\"\nau levain", QString::fromUtf8("Bäckerei"), "350"},
    {"3", "", "Tab\there", QString::fromUtf8("Æblegrød"), ""},
};

TEST(CellBlockText, ReadsAndWritesWhatSpreadsheetProgramsExchange) {
    EXPECT_EQ(parseCellBlock(kSpreadsheetText), kSpreadsheetBlock);
    EXPECT_EQ(formatCellBlock(kSpreadsheetBlock), kSpreadsheetText);

    struct Case {
        const char* text;
        CellBlock block;
    };
    const Case cases[] = {
        {"", {}},
        {"7", {{"7"}}},
        {"a\tb\nc\n", {{"a", "b"}, {"c", ""}}}, // LF breaks; short rows padded
        {"a\rb", {{"a"}, {"b"}}},               // CR alone breaks too
        {"a\t\r\n", {{"a", ""}}},               // an empty last cell
        {"\"open\tx", {{"\"open", "x"}}},       // an unclosed quote is a character
        {"\"q\"tail\tz", {{"qtail", "z"}}},     // text after the closing quote is kept
        {"x\"y\"", {{"x\"y\""}}},               // quotes inside a plain cell stay
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseCellBlock(QString::fromUtf8(c.text)), c.block) << c.text;
}

const GridLimits kLimits{601, QStringLiteral(" Error ! PLU No is over ")};

class GridEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        plu.reset();
        for (int row = 1; row <= 5; ++row)
            for (int col = 1; col <= 9; ++col)
                plu.grid.setText(row, col, QStringLiteral("%1.%2").arg(row).arg(col));
        before = plu.grid.all();
    }
    // Column 1 of rows first..last, as "1.1|x|2.1".
    QString firstColumn(int first, int last) const {
        QStringList texts;
        for (int row = first; row <= last; ++row)
            texts << plu.grid.text(row, 1);
        return texts.join(QLatin1Char('|'));
    }
    // Applies, checks, reverts to the grid as it was, and applies again.
    void applyAndUndo(const GridEdit& edit, const QString& expected, int first, int last) {
        applyEdit(plu.grid, edit);
        EXPECT_EQ(firstColumn(first, last), expected);
        revertEdit(plu.grid, edit);
        EXPECT_EQ(plu.grid.all(), before);
        applyEdit(plu.grid, edit);
        EXPECT_EQ(firstColumn(first, last), expected);
    }

    PluTable plu;
    QVector<QStringList> before;
};

TEST_F(GridEditTest, InsertAndRemoveRowsKeepNumbersAndRowCount) {
    GridEditResult inserted = insertRowsEdit(plu.grid, 2, 2, kLimits);
    ASSERT_TRUE(inserted.ok());
    applyAndUndo(inserted.edit, "1.1|||2.1|3.1|4.1|5.1|", 1, 8);
    EXPECT_EQ(plu.grid.rows(), 601);
    EXPECT_EQ(plu.grid.text(600, 0), "600");
    revertEdit(plu.grid, inserted.edit);

    applyAndUndo(removeRowsEdit(plu.grid, {4, 2, 2}), "1.1|3.1|5.1||", 1, 5);
    EXPECT_EQ(plu.grid.text(600, 1), "");
    EXPECT_EQ(plu.grid.text(4, 0), "4");
}

TEST_F(GridEditTest, InsertRefusesToPushDataPastTheLastRowAndGrowsAShortGrid) {
    plu.grid.setText(600, 3, QStringLiteral("last"));
    GridEditResult refused = insertRowsEdit(plu.grid, 2, 1, kLimits);
    EXPECT_EQ(refused.error, kLimits.rowLimitMessage);
    EXPECT_TRUE(refused.edit.isEmpty());

    plu.grid.setRows(7); // an import may leave fewer rows
    before = plu.grid.all();
    GridEditResult grown = insertRowsEdit(plu.grid, 1, 3, kLimits);
    ASSERT_TRUE(grown.ok());
    applyAndUndo(grown.edit, "|||1.1|2.1|3.1|4.1|5.1|", 1, 9);
    EXPECT_EQ(plu.grid.rows(), 10);
    EXPECT_EQ(plu.grid.text(9, 0), "9");
}

TEST_F(GridEditTest, PasteAddsRowsUpToTheLimitAndRefusesPastItOrTheLastColumn) {
    plu.grid.setRows(4);
    before = plu.grid.all();
    GridEditResult pasted = pasteEdit(plu.grid, 2, 1, kSpreadsheetBlock, kLimits);
    ASSERT_TRUE(pasted.ok());
    applyAndUndo(pasted.edit, "1.1|1|2|3", 1, 4);
    EXPECT_EQ(plu.grid.rows(), 5);
    EXPECT_EQ(plu.grid.text(4, 0), "4");
    EXPECT_EQ(plu.grid.text(3, 3), "Pain \"rustique\"\nau levain");
    EXPECT_EQ(plu.grid.text(2, 6), "2.6"); // beside the block

    plu.reset();
    const CellBlock rows20(20, QStringList{"x"});
    EXPECT_TRUE(pasteEdit(plu.grid, 581, 1, rows20, kLimits).ok());
    EXPECT_EQ(pasteEdit(plu.grid, 582, 1, rows20, kLimits).error, kLimits.rowLimitMessage);
    EXPECT_EQ(pasteEdit(plu.grid, 1, 6, kSpreadsheetBlock, kLimits).error,
              "Cannot paste: 5 columns do not fit from \"Valid Date\", which has 4 columns up to "
              "the last");
}

TEST(PriceChange, RoundsExactlyToTheOperatorsStep) {
    const PriceRounding none{1, 0}, to5{5, 0}, end9{10, 9}, end99{100, 99};
    using K = PriceChange::Kind;
    struct Case {
        K kind;
        const char* by;
        PriceRounding rounding;
        qint32 price;
        qint32 expected;
    };
    const Case cases[] = {
        {K::Percent, "10", none, 105, 116}, // 115.5 exactly: halves go up
        {K::Percent, "10", none, 1990, 2189},
        {K::Percent, "10", end9, 1990, 2189},
        {K::Percent, "10", end9, 2000, 2199}, // 2200 is 1 from 2199, 9 from 2209
        {K::Percent, "10", to5, 1234, 1355},  // 1357.4
        {K::Percent, "-7.5", none, 200, 185},
        {K::Percent, "2,5", to5, 1000, 1025},
        {K::Percent, "+0.000001", none, 2000000000, 2000000020},
        {K::Percent, "-99.999999", none, 100, 0},
        {K::Amount, "50", end99, 1234, 1299}, // 1284: 15 from 1299, 85 from 1199
        {K::Amount, "-20", to5, 117, 95},     // 97
        {K::Amount, "0", end9, 3, 9},         // -1 would be nearer, but is below 0
        {K::Amount, "5", end9, 9, 19},        // 14 lies halfway: upward
    };
    for (const Case& c : cases) {
        QString error;
        const std::optional<PriceChange> change =
            parsePriceChange(c.kind, QString::fromLatin1(c.by), c.rounding, &error);
        ASSERT_TRUE(change) << c.by << ": " << error.toStdString();
        const PriceResult result = changedPrice(c.price, *change);
        EXPECT_TRUE(result.ok) << c.by << " on " << c.price;
        EXPECT_EQ(result.price, c.expected) << c.by << " on " << c.price;
    }
}

TEST(PriceChange, RefusesWhatCannotBeAPrice) {
    using K = PriceChange::Kind;
    struct Bad {
        K kind;
        const char* by;
        const char* error;
    };
    const Bad bad[] = {
        {K::Percent, "ten", "\"ten\" is not a percentage"},
        {K::Percent, "-100", "a percentage must lie above -100 and at most 1000"},
        {K::Percent, "1000.5", "a percentage must lie above -100 and at most 1000"},
        {K::Percent, "1.1234567", "\"1.1234567\" is not a percentage"},
        {K::Amount, "1.5", "\"1.5\" is not a whole number"},
        {K::Amount, "", "\"\" is not a whole number"},
        {K::Amount, "3000000000", "an amount must lie within 2147483647 either way"},
    };
    for (const Bad& b : bad) {
        QString error;
        EXPECT_FALSE(parsePriceChange(b.kind, QString::fromLatin1(b.by), {1, 0}, &error)) << b.by;
        EXPECT_EQ(error, QString::fromLatin1(b.error));
    }
    QString error;
    EXPECT_FALSE(parsePriceChange(K::Amount, "1", {10, 10}, &error));
    EXPECT_EQ(error, "the rounding is not possible");

    const auto by = [](K kind, const char* text) {
        return *parsePriceChange(kind, QString::fromLatin1(text), {1, 0}, nullptr);
    };
    EXPECT_EQ(changedPrice(100, by(K::Amount, "-101")).error, "below 0");
    EXPECT_EQ(changedPrice(2147483600, by(K::Amount, "48")).error, "above 2147483647");
    EXPECT_EQ(changedPrice(2000000000, by(K::Percent, "10")).error, "above 2147483647");
}

} // namespace

namespace {

TEST(GridSearch, NumbersMatchWholeCellsTextsAnyPartAndTheSearchWraps) {
    PluTable plu;
    plu.reset();
    plu.grid.setText(1, 1, "120");
    plu.grid.setText(1, 2, "4712");
    plu.grid.setText(2, 1, " 12 ");
    plu.grid.setText(2, 3, QString::fromUtf8("Crème Brûlée"));
    plu.grid.setText(5, 4, QString::fromUtf8("crème fraîche"));
    struct Case {
        const char* term;
        int row, col;           // search after this cell
        int foundRow, foundCol; // 0: nothing found
    };
    const Case cases[] = {
        {"12", 1, 1, 2, 1},    {"12", 2, 1, 2, 1}, // the cell itself comes last
        {"CRÈME", 2, 3, 5, 4}, {"crème", 5, 4, 2, 3}, {"4712", 600, 9, 1, 2},
        {"999", 1, 1, 0, 0},   {"  ", 1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        const std::optional<CellPosition> found =
            findCell(plu.grid, QString::fromUtf8(c.term), c.row, c.col);
        ASSERT_EQ(found.has_value(), c.foundRow != 0) << c.term;
        if (found) {
            EXPECT_EQ(found->row, c.foundRow) << c.term;
            EXPECT_EQ(found->col, c.foundCol) << c.term;
        }
    }
}

} // namespace
