#include "tables/Table.h"

#include <gtest/gtest.h>

namespace {

template <typename T> class TableReset : public ::testing::Test {};
using TableTypes = ::testing::Types<PluTable, IngredTable>;
TYPED_TEST_SUITE(TableReset, TableTypes);

TYPED_TEST(TableReset, NumbersEveryRowAndEmptiesEveryCellAndRecord) {
    TypeParam table;
    table.grid.setRows(5);
    table.grid.setCols(3);
    table.records[1].setNumber(0, 99);
    table.records[TypeParam::kDataRows].setText(1, QStringLiteral("x"));
    table.reset();

    const int rows = TypeParam::kRowLimit;
    const int cols = TypeParam::kind().columns();
    ASSERT_EQ(table.grid.rows(), rows);
    ASSERT_EQ(table.grid.cols(), cols);
    EXPECT_EQ(table.grid.rowCount(), rows - 1);
    EXPECT_EQ(table.grid.columnCount(), cols - 1);
    for (int r = 1; r < rows; ++r) {
        ASSERT_EQ(table.grid.text(r, 0), QString::number(r));
        for (int c = 1; c < cols; ++c)
            ASSERT_TRUE(table.grid.text(r, c).isEmpty()) << r << "," << c;
    }
    EXPECT_EQ(table.records[1].number(0), 0);
    EXPECT_TRUE(table.records[TypeParam::kDataRows].text(1).isEmpty());
}

// What the file and workbook code take from a kind's descriptor has to fit its fields: one
// workbook header per field, a zero-filled column that is a number field.
TYPED_TEST(TableReset, DescriptorPartsFitTheFields) {
    const TableKind& kind = TypeParam::kind();
    EXPECT_EQ(kind.dataRows, TypeParam::kDataRows);
    EXPECT_EQ(kind.workbook.columns(), kind.fields.size());
    EXPECT_EQ(kind.workbook.lastSheetRow, TypeParam::kRowLimit);
    const int zeroFilled = kind.file.zeroFilledColumn;
    if (zeroFilled > 0) {
        ASSERT_LT(zeroFilled, kind.columns());
        EXPECT_NE(kind.fields[zeroFilled - 1].kind, FieldKind::Text);
    }
}

TEST(TableFormat, PluHeaderAlignmentsAndSegmentWidths) {
    PluTable table;
    table.reset();
    const TextGrid& grid = table.grid;
    EXPECT_EQ(grid.text(0, 0), QStringLiteral("No "));
    EXPECT_EQ(grid.text(0, 1), QStringLiteral("PLU No "));
    EXPECT_EQ(grid.text(0, 9), QStringLiteral("Message No"));
    EXPECT_EQ(grid.alignment(1), Qt::AlignLeft);
    EXPECT_EQ(grid.alignment(2), Qt::AlignHCenter);
    const int widths[] = {3, 7, 15, 20, 20, 13, 11, 10, 7, 10};
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(grid.segmentWidth(c), widths[c]) << c;
    EXPECT_EQ(grid.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("PLU No "));
    EXPECT_EQ(grid.headerData(599, Qt::Vertical, Qt::DisplayRole).toString(),
              QStringLiteral("600"));
}

TEST(TableFormat, IngredHeaderAndWidths) {
    IngredTable table;
    table.reset();
    EXPECT_EQ(table.grid.text(0, 1), QStringLiteral("Message No "));
    EXPECT_EQ(table.grid.segmentWidth(1), 11);
    EXPECT_EQ(table.grid.segmentWidth(5), 33);
    EXPECT_EQ(table.grid.text(200, 0), QStringLiteral("200"));
}

TEST(TableReset, KeepsTheCountText) {
    IngredTable table;
    table.reset();
    table.count = 12;
    EXPECT_EQ(countText(table), QStringLiteral("Message Count is 12"));
    PluTable plu;
    EXPECT_EQ(countText(plu), QStringLiteral("PLU Count is 0"));
}

TEST(TextGrid, CellsOutsideTheGridAreIgnoredAndRowsGrowAndShrink) {
    TextGrid grid;
    grid.setCols(3);
    grid.setRows(4);
    grid.setText(3, 2, QStringLiteral("x"));
    grid.setText(9, 9, QStringLiteral("lost"));
    EXPECT_EQ(grid.text(9, 9), QString());
    EXPECT_EQ(grid.text(3, 2), QStringLiteral("x"));
    grid.setRows(2);
    EXPECT_EQ(grid.rows(), 2);
    grid.setRows(4);
    EXPECT_EQ(grid.text(3, 2), QString());
    grid.setRows(0);
    EXPECT_EQ(grid.rows(), 1);
}

} // namespace
