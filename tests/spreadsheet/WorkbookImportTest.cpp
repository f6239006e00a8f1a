#include "ImportTestSupport.h"

#include "spreadsheet/WorkbookImport.h"
#include "spreadsheet/WorkbookReader.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

using PluImport = WorkbookFixture;
using IngredImport = WorkbookFixture;
using ImportFailure = WorkbookFixture;

TEST_F(PluImport, ThreeRowsThenAnEmptyRowGiveTheGridRecordsCountAndEveryStatusText) {
    const Sheet sheet =
        sheetOf(kPluHeader, {{"1", "1001", "Apples", "Red", "150", "7", "0", "1", "0"},
                             {"2", "", "Pears", "", "", "", "", "", ""},
                             {"3", "1003", "Plums", "Blue", "99", "1", "2", "3", "4"},
                             {"", "end", "", "", "abc"}});
    PluTable table;
    table.reset();
    ASSERT_TRUE(workbook::importTable(write(sheet), table, sink()));

    const QStringList expected = {" Open Excel File ",
                                  " Initializing ",
                                  " Data Format Changing ....  PLU No      ",
                                  " Data Format Changing ....  1      ",
                                  " Data Format Changing ....  2      ",
                                  " Data Format Changing ....  3      ",
                                  " Data Format Changing ....        ",
                                  "PLU Number is 3",
                                  " Data is End "};
    EXPECT_EQ(statuses, expected);

    const TextGrid& grid = table.grid;
    ASSERT_EQ(grid.rows(), 5);
    ASSERT_EQ(grid.cols(), 10);
    EXPECT_EQ(grid.text(0, 0), QStringLiteral("NO"));
    for (int c = 1; c <= 9; ++c)
        EXPECT_EQ(grid.text(0, c), kPluHeader[c - 1]); // blanks kept
    EXPECT_EQ(grid.text(1, 0), QStringLiteral("1"));
    EXPECT_EQ(grid.text(1, 3), QStringLiteral("Apples"));
    // Row 2: empty numeric cells show "0" in the grid, the empty name stays empty.
    const QStringList row2 = {"2", "2", "0", "Pears", "", "0", "0", "0", "0", "0"};
    for (int c = 0; c <= 9; ++c)
        EXPECT_EQ(grid.text(2, c), row2[c]) << c;
    // The ending row keeps its cells and its number; it is not converted.
    EXPECT_EQ(grid.text(4, 0), QStringLiteral("4"));
    EXPECT_EQ(grid.text(4, 1), QString());
    EXPECT_EQ(grid.text(4, 2), QStringLiteral("end"));
    EXPECT_EQ(grid.text(4, 5), QStringLiteral("abc"));

    EXPECT_EQ(table.count, 3);
    EXPECT_EQ(table.records[1].PluNo, 1);
    EXPECT_EQ(table.records[1].ItemCode, 1001);
    EXPECT_EQ(table.records[1].ItemName1, QStringLiteral("Apples"));
    EXPECT_EQ(table.records[1].ValidDate, 7);
    EXPECT_EQ(table.records[2].UnitPrice, 0);
    EXPECT_TRUE(table.records[2].ItemName2.isEmpty());
    EXPECT_EQ(table.records[3].MessageNo, 4);
    EXPECT_EQ(table.records[4], PluRecord());
}

TEST_F(PluImport, EmptyA1CutsTheGridToItsHeaderRow) {
    Sheet sheet = sheetOf({"", "Item Code"}, {{"1", "2"}});
    PluTable table;
    table.reset();
    table.records[5].PluNo = 5;
    table.count = 5;
    ASSERT_TRUE(workbook::importTable(write(sheet), table, sink()));
    EXPECT_EQ(table.grid.rows(), 1);
    EXPECT_EQ(table.grid.text(0, 0), QStringLiteral("NO"));
    EXPECT_EQ(table.grid.text(0, 2), QStringLiteral("Item Code"));
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.records[5], PluRecord());
    EXPECT_EQ(statuses.mid(statuses.size() - 2), QStringList({"PLU Number is 0", " Data is End "}));
}

TEST_F(PluImport, HeaderOnlyGivesOneEmptyNumberedRow) {
    PluTable table;
    table.reset();
    ASSERT_TRUE(workbook::importTable(write(sheetOf(kPluHeader, {})), table, sink()));
    ASSERT_EQ(table.grid.rows(), 2);
    EXPECT_EQ(table.grid.text(1, 0), QStringLiteral("1"));
    for (int c = 1; c <= 9; ++c)
        EXPECT_TRUE(table.grid.text(1, c).isEmpty());
    EXPECT_EQ(table.count, 0);
}

TEST_F(PluImport, ReadStopsAfterRow601AndIgnoresRow602) {
    QVector<QStringList> rows;
    for (int i = 1; i <= 601; ++i)
        rows.append({QString::number(i), QString::number(1000 + i)});
    PluTable table;
    table.reset();
    ASSERT_TRUE(workbook::importTable(write(sheetOf(kPluHeader, rows)), table, sink()));
    EXPECT_EQ(table.count, 600);
    ASSERT_EQ(table.grid.rows(), 602);
    EXPECT_EQ(table.grid.text(600, 1), QStringLiteral("600"));
    EXPECT_EQ(table.grid.text(601, 0), QStringLiteral("601"));
    EXPECT_TRUE(table.grid.text(601, 1).isEmpty()); // row 602 of the sheet is not read
    EXPECT_EQ(table.records[600].PluNo, 600);
    EXPECT_EQ(table.records[600].ItemCode, 1600);
    EXPECT_EQ(statuses.filter(QStringLiteral("Data Format Changing")).size(), 601);
    EXPECT_EQ(statuses.at(statuses.size() - 2), QStringLiteral("PLU Number is 600"));
}

TEST_F(PluImport, NamesAreCutInTheRecordOnlyAndHalvesRoundToEven) {
    const QString name30 = QStringLiteral("abcdefghijklmnopqrstuvwxyz1234");
    const Sheet sheet = sheetOf(kPluHeader, {{"12.5", "2.5", name30, "", "-0.5", "", "", "", ""},
                                             {"13.5", "", "", name30}});
    PluTable table;
    table.reset();
    ASSERT_TRUE(workbook::importTable(write(sheet), table, sink()));
    EXPECT_EQ(table.grid.text(1, 1), QStringLiteral("12.5"));
    EXPECT_EQ(table.grid.text(1, 3), name30);
    EXPECT_EQ(table.records[1].PluNo, 12);
    EXPECT_EQ(table.records[1].ItemCode, 2);
    EXPECT_EQ(table.records[1].UnitPrice, 0);
    EXPECT_EQ(table.records[1].ItemName1, name30.left(28));
    EXPECT_EQ(table.records[2].PluNo, 14);
    EXPECT_EQ(table.records[2].ItemName2, name30.left(28));
    EXPECT_EQ(table.grid.text(2, 4), name30);
}

TEST_F(IngredImport, MessagesGetABlankForEmptyCellsAreCutAt50AndStopAfterRow201) {
    QVector<QStringList> rows;
    const QString long60 = QString(60, QLatin1Char('m'));
    rows.append({"1", "Flour", "", long60, "Salt", "ignored column F"});
    for (int i = 2; i <= 201; ++i)
        rows.append({QString::number(i), QStringLiteral("Message %1").arg(i)});
    IngredTable table;
    table.reset();
    ASSERT_TRUE(workbook::importTable(write(sheetOf({"Message No", "M1", "M2", "M3", "M4"}, rows)),
                                      table, sink()));

    EXPECT_EQ(statuses.mid(0, 4), QStringList({" Open Excel File ", " Initializing ",
                                               "  Data Format Changing....  Message No      ",
                                               "  Data Format Changing....  1      "}));
    EXPECT_EQ(statuses.mid(statuses.size() - 2),
              QStringList({"Ingredient Number is 200", " Data is End "}));
    EXPECT_EQ(table.count, 200);
    ASSERT_EQ(table.grid.rows(), 202);
    ASSERT_EQ(table.grid.cols(), 6);
    EXPECT_EQ(table.grid.text(0, 0), QStringLiteral("NO"));
    EXPECT_EQ(table.grid.text(1, 3), QStringLiteral(" "));
    EXPECT_EQ(table.grid.text(1, 4), long60);
    EXPECT_EQ(table.grid.text(200, 5), QStringLiteral(" "));
    EXPECT_EQ(table.records[1].Message2, QStringLiteral(" "));
    EXPECT_EQ(table.records[1].Message3, long60.left(50));
    EXPECT_EQ(table.records[200].MessageNo, 200);
    EXPECT_EQ(table.records[200].Message1, QStringLiteral("Message 200"));
}

// --- failures: the table stays as it was, and the status says what and where ---

template <typename T> QVector<QStringList> snapshot(const T& table) {
    return table.grid.all();
}

TEST_F(ImportFailure, ACellThatIsNotANumberLeavesTheTableUntouchedAndIsNamed) {
    PluTable table;
    table.reset();
    table.grid.setText(1, 1, QStringLiteral("77"));
    table.records[1].PluNo = 77;
    table.count = 1;
    const auto before = snapshot(table);
    const auto recordsBefore = table.records;

    const Sheet sheet = sheetOf(kPluHeader, {{"1", "1"}, {"2", "2", "", "", "", "", "abc"}});
    EXPECT_FALSE(workbook::importTable(write(sheet, QStringLiteral("bad.xls")), table, sink()));
    EXPECT_EQ(snapshot(table), before);
    EXPECT_EQ(table.records, recordsBefore);
    EXPECT_EQ(table.count, 1);
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_TRUE(statuses.last().startsWith(QStringLiteral("Cannot import ")));
    EXPECT_TRUE(statuses.last().contains(QStringLiteral("bad.xls")));
    EXPECT_TRUE(
        statuses.last().endsWith(QStringLiteral("sheet row 3, column G: \"abc\" is not a number")))
        << statuses.last().toStdString();
    EXPECT_FALSE(statuses.contains(QStringLiteral(" Data is End ")));

    statuses.clear();
    const Sheet range = sheetOf(kPluHeader, {{"40000"}});
    EXPECT_FALSE(workbook::importTable(write(range), table, sink()));
    EXPECT_TRUE(statuses.last().contains(
        QStringLiteral("sheet row 2, column A: \"40000\" is out of range")));
    EXPECT_EQ(snapshot(table), before);

    // Control characters in a cell are shown escaped, not cut off or let through.
    statuses.clear();
    const QString nul = QStringLiteral("1") + QChar(0) + QStringLiteral("2\r");
    EXPECT_FALSE(workbook::importTable(write(sheetOf(kPluHeader, {{nul}})), table, sink()));
    EXPECT_TRUE(statuses.last().endsWith(
        QStringLiteral("sheet row 2, column A: \"1\\x002\\r\" is not a number")))
        << statuses.last().toStdString();

    IngredTable ingred;
    ingred.reset();
    statuses.clear();
    EXPECT_FALSE(workbook::importTable(write(sheetOf({"No"}, {{"1"}, {" "}})), ingred, sink()));
    EXPECT_TRUE(statuses.last().contains(QStringLiteral("sheet row 3, column A")));
    EXPECT_EQ(ingred.count, 0);
    EXPECT_EQ(ingred.grid.rows(), 201);
}

TEST_F(ImportFailure, AFileThatCannotBeReadLeavesTheTableUntouchedAndIsNamed) {
    PluTable table;
    table.reset();
    table.grid.setText(3, 2, QStringLiteral("x"));
    const auto before = snapshot(table);
    const QString missing = dir.filePath(QStringLiteral("missing.xls"));
    EXPECT_FALSE(workbook::importTable(missing, table, sink()));
    EXPECT_EQ(statuses.first(), QStringLiteral(" Open Excel File "));
    EXPECT_TRUE(statuses.last().startsWith(QStringLiteral("Cannot import ")));
    EXPECT_TRUE(statuses.last().contains(QStringLiteral("missing.xls")));

    QFile zip(dir.filePath(QStringLiteral("book.xlsx")));
    ASSERT_TRUE(zip.open(QIODevice::WriteOnly));
    zip.write(QByteArray("PK\x03\x04", 4) + QByteArray(100, 'z'));
    zip.close();
    EXPECT_FALSE(workbook::importTable(zip.fileName(), table, sink()));
    EXPECT_TRUE(statuses.last().contains(QStringLiteral("the zip archive is damaged")));
    EXPECT_EQ(snapshot(table), before);

    // Only regular files of a workbook's size are read: a pipe would block the import for
    // ever, and a device or a huge file would fill the memory.
    QFile huge(dir.filePath(QStringLiteral("huge.xls")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kWorkbookLimit.maxBytes + 1)); // sparse: no disk space taken
    huge.close();
    QVector<std::pair<QString, QString>> refused = {
        {huge.fileName(), "it is too large for a workbook (over 16777216 bytes)"}};
#ifdef Q_OS_UNIX
    const QString fifo = dir.filePath(QStringLiteral("fifo.xls"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = dir.filePath(QStringLiteral("zero.xls"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    refused += {{fifo, "it is a pipe, not a file"}, {device, "it is a device, not a file"}};
#endif
    for (const auto& [path, why] : refused) {
        EXPECT_FALSE(workbook::importTable(path, table, sink()));
        EXPECT_EQ(statuses.last(),
                  QStringLiteral("Cannot import %1: %2").arg(QDir::toNativeSeparators(path), why));
    }
    EXPECT_EQ(snapshot(table), before);
}

} // namespace
