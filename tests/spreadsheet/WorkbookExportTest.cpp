#include "FreeXlSheet.h"
#include "ImportTestSupport.h"

#include "spreadsheet/WorkbookContainer.h"
#include "spreadsheet/WorkbookExport.h"
#include "spreadsheet/WorkbookImport.h"

#include <QDir>
#include <QFile>

namespace {

using WorkbookExport = WorkbookFixture;
using WorkbookRoundTrip = WorkbookFixture;

const QDate kDay(2026, 12, 6);

void fillPlu(PluTable& table, int rows) {
    for (int r = 1; r <= rows; ++r) {
        table.grid.setText(r, 1, QString::number(r));
        table.grid.setText(r, 2, QString::number(5000 + r));
        table.grid.setText(r, 3, QStringLiteral("Name %1").arg(r));
        table.grid.setText(r, 6, QStringLiteral("0150"));
    }
}

Sheet readBack(const QString& path) {
    const WorkbookRead read = readWorkbookFile(path);
    EXPECT_TRUE(read.sheet.has_value()) << read.error.toStdString();
    return read.sheet.value_or(Sheet());
}

TEST_F(WorkbookExport, PluSheetNameHeadersCellsAndEveryStatusText) {
    PluTable table;
    table.reset();
    fillPlu(table, 2);
    const QString path = dir.filePath(QStringLiteral("plu.xls"));
    ASSERT_TRUE(workbook::exportTable(path, table, kDay, sink()));
    EXPECT_EQ(statuses, QStringList({" Excel File Save ", " Data Changing ....  1",
                                     " Data Changing ....  2", " Save End"}));
    const Sheet sheet = readBack(path);
    EXPECT_EQ(sheet.name, QStringLiteral("PLU 06.12.26"));
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(sheet.text(0, c), kPluHeader[c]);
    EXPECT_EQ(sheet.text(2, 1), QStringLiteral("5002"));
    EXPECT_EQ(sheet.text(2, 5), QStringLiteral("0150")); // passed as the grid's text
    EXPECT_EQ(sheet.cells.size(), 9 + 2 * 4);

    const FreeXlSheet freexl = readWithFreeXl(path);
    ASSERT_TRUE(freexl.ok);
    EXPECT_EQ(freexl.sheetName, QStringLiteral("PLU 06.12.26"));
    EXPECT_EQ(freexl.cells.value({0, 2}).text, kPluHeader[2]);
    EXPECT_EQ(freexl.cells.value({1, 5}).text, QStringLiteral("0150"));
}

// The export ends at the empty rows at the end; a row without a PLU No above rows with data
// would leave them out, and nothing is written.
TEST_F(WorkbookExport, StopsAtTheEmptyEndRefusesAGapAndIncludesTheGridsLastRow) {
    PluTable table;
    table.reset();
    fillPlu(table, 5);
    table.grid.setText(3, 1, QString());
    QString path = dir.filePath(QStringLiteral("gap.xls"));
    EXPECT_FALSE(workbook::exportTable(path, table, kDay, sink()));
    EXPECT_EQ(statuses, QStringList{"Row 3 has no PLU No, and rows below it hold data: fill in "
                                    "its PLU No or delete the row"});
    EXPECT_FALSE(QFile::exists(path));

    for (int c = 1; c <= 9; ++c)
        for (int r = 3; r <= 5; ++r)
            table.grid.setText(r, c, QString());
    ASSERT_TRUE(workbook::exportTable(path, table, kDay, sink()));
    Sheet sheet = readBack(path);
    EXPECT_EQ(sheet.text(2, 0), QStringLiteral("2"));
    EXPECT_TRUE(sheet.text(3, 1).isEmpty());
    EXPECT_TRUE(sheet.text(3, 0).isEmpty());

    // A full table of 600 in a grid of 601 rows: PLU 600 is exported too.
    table.reset();
    fillPlu(table, 600);
    path = dir.filePath(QStringLiteral("full.xls"));
    ASSERT_TRUE(workbook::exportTable(path, table, kDay, sink()));
    sheet = readBack(path);
    EXPECT_EQ(sheet.text(600, 0), QStringLiteral("600"));
    EXPECT_EQ(sheet.text(600, 2), QStringLiteral("Name 600"));

    // An empty table: the header row alone, still saved.
    table.reset();
    statuses.clear();
    path = dir.filePath(QStringLiteral("empty.xls"));
    ASSERT_TRUE(workbook::exportTable(path, table, kDay, sink()));
    EXPECT_EQ(statuses, QStringList({" Excel File Save ", " Save End"}));
    EXPECT_EQ(readBack(path).cells.size(), 9);
}

TEST_F(WorkbookExport, IngredientSheetHasFiveColumnsAndKeepsOneBlankMessages) {
    IngredTable table;
    table.reset();
    table.grid.setText(1, 1, QStringLiteral("1"));
    table.grid.setText(1, 2, QStringLiteral("Flour"));
    table.grid.setText(1, 3, QStringLiteral(" "));
    const QString path = dir.filePath(QStringLiteral("ingred.xls"));
    ASSERT_TRUE(workbook::exportTable(path, table, QDate(2027, 1, 9), sink()));
    EXPECT_EQ(statuses, QStringList({" Excel File Save ", " Data Changing ....  1", " Save End"}));
    const Sheet sheet = readBack(path);
    EXPECT_EQ(sheet.name, QStringLiteral("INGRED 09.01.27"));
    EXPECT_EQ(sheet.text(0, 0), QStringLiteral("Message No"));
    EXPECT_EQ(sheet.text(0, 1), QStringLiteral("           Message1            "));
    EXPECT_EQ(sheet.text(0, 4), QStringLiteral("           Message4            "));
    EXPECT_TRUE(sheet.text(0, 5).isEmpty());
    EXPECT_EQ(sheet.text(1, 2), QStringLiteral(" "));
}

TEST_F(WorkbookExport, AFailedSaveSaysWhyAndLeavesTheEarlierFile) {
    const QString path = dir.filePath(QStringLiteral("keep.xls"));
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier contents");
    earlier.close();
    // A cell longer than a workbook cell may be cannot be saved.
    PluTable table;
    table.reset();
    fillPlu(table, 1);
    table.grid.setText(1, 3, QString(40000, QLatin1Char('n')));
    EXPECT_FALSE(workbook::exportTable(path, table, kDay, sink()));
    EXPECT_EQ(statuses.last(),
              QStringLiteral("Cannot save %1: the cell in row 2, column 3 holds more than 32767 "
                             "characters")
                  .arg(QDir::toNativeSeparators(path)));
    EXPECT_FALSE(statuses.contains(QStringLiteral(" Save End")));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("earlier contents"));
}

TEST_F(WorkbookRoundTrip, ExportThenImportGivesBackTheSameGridTexts) {
    PluTable table;
    table.reset();
    const QStringList tricky = {"0123", "1.50", " 7", "12.5", "-3", "Ωmega € é", "  x  ", "1e3"};
    for (int r = 1; r <= 40; ++r) {
        table.grid.setText(r, 1, QString::number(r));
        for (int c = 2; c <= 9; ++c)
            table.grid.setText(r, c, tricky[(r + c) % tricky.size()]);
    }
    // Numeric fields must convert: keep them valid numbers that stay texts or numbers.
    for (int r = 1; r <= 40; ++r) {
        for (int c : {2, 5, 6, 7, 8, 9})
            table.grid.setText(r, c,
                               QStringList({"0123", "1.50", " 7", "12.5", "-3"})[(r + c) % 5]);
    }
    const QString path = dir.filePath(QStringLiteral("trip.xls"));
    ASSERT_TRUE(workbook::exportTable(path, table, kDay, sink()));
    PluTable back;
    back.reset();
    ASSERT_TRUE(workbook::importTable(path, back, sink()));
    ASSERT_EQ(back.grid.rows(), 42);
    for (int r = 1; r <= 40; ++r) {
        for (int c = 0; c <= 9; ++c)
            ASSERT_EQ(back.grid.text(r, c), table.grid.text(r, c)) << r << "," << c;
    }
    EXPECT_EQ(back.count, 40);

    // After an import of n rows the grid has n + 2 rows; exporting it again writes all n.
    const QString again = dir.filePath(QStringLiteral("again.xls"));
    ASSERT_TRUE(workbook::exportTable(again, back, kDay, sink()));
    EXPECT_EQ(readBack(again).cells, readBack(path).cells);
}

} // namespace
