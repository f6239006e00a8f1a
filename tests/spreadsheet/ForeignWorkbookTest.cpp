// Workbooks written by other programs (see tests/data/README.md for how they were made).
#include "FreeXlSheet.h"
#include "ImportTestSupport.h"

#include "spreadsheet/WorkbookContainer.h"
#include "spreadsheet/WorkbookImport.h"

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(SCALEDESK_TEST_DATA "/workbooks/") + QLatin1String(name);
}

using ForeignWorkbook = WorkbookFixture;

TEST_F(ForeignWorkbook, PluSheetWithFormulasRichTextDatesAndASecondActiveSheet) {
    PluTable table;
    table.reset();
    ASSERT_TRUE(workbook::importTable(dataFile("plu-libreoffice.xls"), table, sink()))
        << statuses.last().toStdString();
    EXPECT_EQ(table.count, 3);
    ASSERT_EQ(table.grid.rows(), 5);
    EXPECT_EQ(table.grid.text(0, 3), QStringLiteral("Item Name1"));
    // Row 2: a date-formatted 7 is 7; rich text reads as its plain text.
    const QStringList row1 = {"1", "1", "1001", "Äpfel €", "Red", "150", "7", "0", "1", "0"};
    for (int c = 0; c <= 9; ++c)
        EXPECT_EQ(table.grid.text(1, c), row1[c]) << c;
    // Row 3: formulas give their stored results, text included.
    EXPECT_EQ(table.grid.text(2, 1), QStringLiteral("2"));
    EXPECT_EQ(table.grid.text(2, 3), QStringLiteral("Pears"));
    EXPECT_EQ(table.grid.text(2, 4), QString());
    EXPECT_EQ(table.grid.text(2, 5), QStringLiteral("300"));
    EXPECT_EQ(table.records[2].UnitPrice, 300);
    // Row 4: fractions are rounded half to even in the records only.
    EXPECT_EQ(table.grid.text(3, 1), QStringLiteral("12.5"));
    EXPECT_EQ(table.records[3].PluNo, 12);
    EXPECT_EQ(table.records[3].ItemCode, 123456789);
    EXPECT_EQ(table.records[3].UnitPrice, 2);
    EXPECT_EQ(table.records[3].Tare, -3);
    // The ending row keeps its text in column B.
    EXPECT_EQ(table.grid.text(4, 2), QStringLiteral("end marker"));

    const WorkbookRead read = readWorkbookFile(dataFile("plu-libreoffice.xls"));
    ASSERT_TRUE(read.sheet);
    EXPECT_EQ(read.sheet->name, QStringLiteral("Articles")); // not the active "Notes"
}

TEST_F(ForeignWorkbook, IngredientSheetsAgreeWithFreeXl) {
    IngredTable table;
    table.reset();
    ASSERT_TRUE(workbook::importTable(dataFile("ingred-xlwt.xls"), table, sink()));
    EXPECT_EQ(table.count, 3);
    EXPECT_EQ(table.grid.text(1, 3), QStringLiteral(" "));
    EXPECT_EQ(table.grid.text(2, 2), QString::fromUtf16(u"Milk (72 %), cream, cultures — Ωmega"));
    EXPECT_EQ(table.records[2].Message2, QString(50, QLatin1Char('x')));
    EXPECT_EQ(table.grid.text(3, 2), QStringLiteral("TRUE"));
    EXPECT_EQ(table.records[2].MessageNo, 2);

    // Every text cell FreeXL sees, our reader sees the same (numbers compared as text).
    for (const char* name : {"ingred-xlwt.xls", "ingred-long-xlwt.xls", "plu-libreoffice.xls"}) {
        const WorkbookRead ours = readWorkbookFile(dataFile(name));
        ASSERT_TRUE(ours.sheet) << name << ours.error.toStdString();
        const FreeXlSheet theirs = readWithFreeXl(dataFile(name));
        ASSERT_TRUE(theirs.ok) << name;
        int compared = 0;
        for (auto it = theirs.cells.cbegin(); it != theirs.cells.cend(); ++it) {
            if (it.value().type == 106 /* a date: FreeXL drops the number */)
                continue;
            // FreeXL gives booleans as 1 and formula cells as empty.
            const QString ourText = ours.sheet->text(it.key().first, it.key().second);
            if (ourText == QStringLiteral("TRUE"))
                continue;
            EXPECT_EQ(ourText, it.value().text)
                << name << " " << it.key().first << "," << it.key().second;
            ++compared;
        }
        EXPECT_GT(compared, 10) << name;
    }

    ASSERT_TRUE(workbook::importTable(dataFile("ingred-long-xlwt.xls"), table, sink()));
    EXPECT_EQ(table.count, 20);
    const QString expected = QString::fromUtf16(u"Ωμέγα 20.3 ").repeated(20).left(120);
    EXPECT_EQ(table.grid.text(20, 4), expected);
    EXPECT_EQ(table.records[20].Message3, expected.left(50));
}

} // namespace
