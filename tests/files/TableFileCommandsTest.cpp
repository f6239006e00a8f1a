#include "files/TableFileCommands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The system's words for a file that is not there, as the status texts give them.
QString missingFileReason() {
    QFile missing(QStringLiteral("no such file here, surely"));
    missing.open(QIODevice::ReadOnly);
    return missing.errorString();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void setRow(TextGrid& grid, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c)
        grid.setText(row, c + 1, cells[c]);
}

// Everything a failed command must leave alone.
template <typename T> struct Snapshot {
    QVector<QStringList> cells;
    decltype(T::records) records;
    qint16 count;
    explicit Snapshot(const T& table)
        : cells(table.grid.all()), records(table.records), count(table.count) {}
    bool operator==(const Snapshot&) const = default;
};

class TableFileCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        plu.reset();
        ingred.reset();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // A path as the status texts show it: with the system's separators.
    QString shown(const QString& name) const { return QDir::toNativeSeparators(path(name)); }

    // A loaded PLU table with edits in the grid that were never saved.
    void loadSomePlu() {
        writeAll(path("old.plu"), "1,0,\"A\",\" \",100,0,0,0,0\r\n2,5,\"B\",\"b\",200,1,2,3,4\r\n");
        ASSERT_TRUE(openTable(plu, path("old.plu")).ok);
        plu.grid.setText(2, 3, QStringLiteral("edited"));
        plu.grid.setText(10, 1, QStringLiteral("99"));
    }

    QTemporaryDir dir;
    PluTable plu;
    IngredTable ingred;
};

TEST_F(TableFileCommands, NewEmptiesBothTables) {
    loadSomePlu();
    EXPECT_EQ(newTable(plu), QStringLiteral("PLU Count is 0"));
    EXPECT_EQ(plu.count, 0);
    EXPECT_EQ(plu.grid.rows(), 601);
    EXPECT_TRUE(plu.grid.text(2, 3).isEmpty());
    EXPECT_EQ(plu.grid.text(600, 0), QStringLiteral("600"));
    EXPECT_EQ(plu.records[2], PluRecord{});

    ingred.count = 3;
    EXPECT_EQ(newTable(ingred), QStringLiteral("Message Count is 0"));
    EXPECT_EQ(ingred.count, 0);
}

TEST_F(TableFileCommands, OpenFillsRowsEmptiesTheRestAndRestoresTheShape) {
    // As a spreadsheet import leaves it: other header texts, 603 rows.
    plu.grid.setRows(603);
    plu.grid.setText(0, 0, QStringLiteral("NO"));
    plu.grid.setText(602, 1, QStringLiteral("stale"));
    plu.records[5].PluNo = 55;
    writeAll(path("three.PLU"), "1,10,\"One\",\" \",100,0,0,0,0\r\n"
                                "-2,20,\"Two\",\"2\",-200,1,2,3,4\r\n"
                                "3,30,\"\",\" \",300,0,0,0,0\r\n");

    const OpenResult result = openTable(plu, path("three.PLU"));
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.status, QStringLiteral("PLU Count is 3"));
    EXPECT_EQ(plu.count, 3);
    EXPECT_EQ(plu.grid.rows(), 601);
    EXPECT_EQ(plu.grid.cols(), 10);
    EXPECT_EQ(plu.grid.text(0, 0), QStringLiteral("No "));
    EXPECT_EQ(plu.grid.all()[2],
              (QStringList{"2", "-2", "20", "Two", "2", "-200", "1", "2", "3", "4"}));
    EXPECT_EQ(plu.grid.text(3, 3), QString()); // an empty name stays empty on Open
    EXPECT_EQ(plu.grid.all()[4], (QStringList{"4", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(plu.records[2], (PluRecord{-2, 20, "Two", "2", -200, 1, 2, 3, 4}));
    EXPECT_EQ(plu.records[5], PluRecord{});
}

TEST_F(TableFileCommands, OpenOfAnEmptyFileEmptiesTheTable) {
    loadSomePlu();
    writeAll(path("empty.plu"), QByteArray());
    const OpenResult result = openTable(plu, path("empty.plu"));
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.status, QStringLiteral("PLU Count is 0"));
    EXPECT_EQ(plu.count, 0);
    EXPECT_TRUE(plu.grid.text(1, 1).isEmpty());
    EXPECT_EQ(plu.records[1], PluRecord{});
}

TEST_F(TableFileCommands, FailedOpenLeavesTheTableExactlyAsItWas) {
    loadSomePlu();
    const Snapshot<PluTable> before(plu);
    writeAll(path("prices.plu"), "1,0,\"A\",\" \",100,0,0,0,0\r\n"
                                 "2,0,\"B\",\" \",100,0,abc,0,0\r\n");
    const struct {
        QString path;
        QString status;
    } failures[] = {
        {path("prices.plu"), QStringLiteral("Cannot open \"%1\": line 2, Tare: \"abc\" is not a "
                                            "number")
                                 .arg(shown("prices.plu"))},
        {path("missing.plu"),
         QStringLiteral("Cannot open \"%1\": %2").arg(shown("missing.plu"), missingFileReason())},
        {dir.path(), QStringLiteral("Cannot open \"%1\": it is a folder")
                         .arg(QDir::toNativeSeparators(dir.path()))},
    };
    for (const auto& failure : failures) {
        const OpenResult result = openTable(plu, failure.path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.status, failure.status);
        EXPECT_TRUE(Snapshot<PluTable>(plu) == before) << failure.path.toStdString();
    }

    // 201 lines: the ingredient table is left as it was too.
    ingred.grid.setText(1, 2, QStringLiteral("kept"));
    const Snapshot<IngredTable> ingredBefore(ingred);
    QByteArray lines;
    for (int i = 0; i < 201; ++i)
        lines += "1,\"a\",\"b\",\"c\",\"d\"\r\n";
    writeAll(path("long.ingred"), lines);
    const OpenResult result = openTable(ingred, path("long.ingred"));
    EXPECT_EQ(result.status, QStringLiteral("Cannot open \"%1\": line 201: more than 200 records")
                                 .arg(shown("long.ingred")));
    EXPECT_TRUE(Snapshot<IngredTable>(ingred) == ingredBefore);
}

// The empty rows at the end end the table. An empty number with data below it would leave
// that data out: the copy refuses, names the row and changes nothing.
TEST_F(TableFileCommands, CopyEndsAtTheEmptyEndRefusesAGapAndSubstitutes) {
    setRow(plu.grid, 1, {"1", "", "A", "", "100", "", "", "", ""});
    setRow(plu.grid, 2, {" 12.5 ", "7", "B", "b", "1.5", "-3", "4", "5", "6"});
    setRow(plu.grid, 3, {"3", "", "", "", "", "", "", "", "9"});
    setRow(plu.grid, 4, {"4", "", "", "", "", "", "", "", ""});
    plu.records[6].PluNo = 66; // beyond the copied rows: left alone
    plu.grid.setText(6, 3, QStringLiteral("after the gap"));
    const Snapshot<PluTable> before(plu);
    const CopyResult refused = copyGridToRecords(plu);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.status, QStringLiteral("Row 5 has no PLU No, and rows below it hold data: "
                                             "fill in its PLU No or delete the row"));
    EXPECT_EQ(refused.row, 5);
    EXPECT_EQ(refused.column, 1);
    EXPECT_TRUE(Snapshot<PluTable>(plu) == before);

    plu.grid.setText(6, 3, QString());
    const CopyResult result = copyGridToRecords(plu);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.status.isEmpty());
    EXPECT_EQ(plu.count, 4);
    EXPECT_EQ(plu.records[1], (PluRecord{1, 0, "A", " ", 100, 0, 0, 0, 0}));
    EXPECT_EQ(plu.records[2], (PluRecord{12, 7, "B", "b", 2, -3, 4, 5, 6})); // halves to even
    EXPECT_EQ(plu.records[3], (PluRecord{3, 0, " ", " ", 0, 0, 0, 0, 9}));
    EXPECT_EQ(plu.records[6].PluNo, 66);
    // The empty "Message No" cells show 0 now; the empty names stay empty in the grid.
    EXPECT_EQ(plu.grid.text(1, 9), QStringLiteral("0"));
    EXPECT_EQ(plu.grid.text(4, 9), QStringLiteral("0"));
    EXPECT_TRUE(plu.grid.text(1, 4).isEmpty());
    EXPECT_TRUE(plu.grid.text(6, 9).isEmpty());

    setRow(ingred.grid, 1, {"7", "A", "", "", ""});
    setRow(ingred.grid, 2, {"8", "", "", "", "D"});
    setRow(ingred.grid, 4, {"10", "x", "", "", ""});
    EXPECT_EQ(copyGridToRecords(ingred).status,
              QStringLiteral("Row 3 has no Message No, and rows below it hold data: fill in its "
                             "Message No or delete the row"));
    setRow(ingred.grid, 4, {"", "", "", "", ""});
    EXPECT_TRUE(copyGridToRecords(ingred).ok);
    EXPECT_EQ(ingred.count, 2);
    EXPECT_EQ(ingred.records[2].Message4, QStringLiteral("D"));
    EXPECT_EQ(ingred.records[2].Message1, QStringLiteral(" "));
}

TEST_F(TableFileCommands, RefusedCopyChangesNothing) {
    setRow(plu.grid, 1, {"1", "", "A", "", "100", "", "", "", ""});
    setRow(plu.grid, 2, {"2", "", "B", "", "100", "", "", "", "1"});
    plu.records[1].PluNo = 42;
    plu.count = 9;
    const struct {
        int row, col;
        QString cell;
        QString status;
    } cases[] = {
        {3, 5, "1,50", R"(Cannot save: row 3, U/Price: "1,50" is not a number)"},
        {3, 1, "   ", R"(Cannot save: row 3, PLU No: "   " is not a number)"},
        {3, 1, "32767.5",
         R"(Cannot save: row 3, PLU No: "32767.5" is out of range (-32768 to 32767))"},
        {3, 2, "3000000000",
         R"(Cannot save: row 3, Item code: "3000000000" is out of range (-2147483648 to 2147483647))"},
        {3, 3, "12\" pizza",
         "Cannot save: row 3, Item name1: a double quote cannot be stored in the file"},
        {3, 1, QStringLiteral("1\r") + QChar(0),
         R"(Cannot save: row 3, PLU No: "1\r\x00" is not a number)"},
        {3, 4, "Łódź",
         "Cannot save: row 3, Item name2: \"Ł\" cannot be stored in the file (not "
         "in Windows-1252)"},
    };
    for (const auto& c : cases) {
        setRow(plu.grid, 3, {"3", "", "C", "", "1", "", "", "", ""});
        plu.grid.setText(c.row, c.col, c.cell);
        const Snapshot<PluTable> before(plu);
        const CopyResult result = copyGridToRecords(plu);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.row, c.row);
        EXPECT_EQ(result.column, c.col);
        EXPECT_TRUE(Snapshot<PluTable>(plu) == before) << c.cell.toStdString();
    }

    setRow(ingred.grid, 1, {"1", "two\r\nlines", "", "", ""});
    EXPECT_EQ(copyGridToRecords(ingred).status,
              "Cannot save: row 1, Message1: a line break cannot be stored in the file");
}

TEST_F(TableFileCommands, CopyGrowsAShortGridButNeverShrinksIt) {
    plu.grid.setRows(4); // as an import of two rows leaves it
    setRow(plu.grid, 1, {"1", "", "A", "", "", "", "", "", ""});
    EXPECT_TRUE(copyGridToRecords(plu).ok);
    EXPECT_EQ(plu.grid.rows(), 601);
    EXPECT_EQ(plu.count, 1);

    plu.grid.setRows(605);
    EXPECT_TRUE(copyGridToRecords(plu).ok);
    EXPECT_EQ(plu.grid.rows(), 605);
}

TEST_F(TableFileCommands, FullTablesCopyEveryRow) {
    for (int r = 1; r <= 600; ++r)
        plu.grid.setText(r, 1, QString::number(r));
    EXPECT_TRUE(copyGridToRecords(plu).ok);
    EXPECT_EQ(plu.count, 600);
    EXPECT_EQ(plu.records[600].PluNo, 600);
}

TEST_F(TableFileCommands, SaveWritesTheWorkedExamplesAndCounts) {
    setRow(plu.grid, 1, {"1", "0", "A", "", "100", "0", "0", "0", "0"});
    ASSERT_TRUE(copyGridToRecords(plu).ok);
    const SaveResult saved = saveRecords(plu, path("a.plu"));
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.status, QStringLiteral("PLU Count is 1"));
    EXPECT_EQ(readAll(path("a.plu")),
              QByteArray::fromHex("312C302C2241222C2220222C3130302C302C302C302C300D0A"));

    setRow(ingred.grid, 1, {"7", "A", "", "", ""});
    ASSERT_TRUE(copyGridToRecords(ingred).ok);
    const SaveResult savedIngred = saveRecords(ingred, path("a.ingred"));
    EXPECT_EQ(savedIngred.status, QStringLiteral("INGRED Count is 1"));
    EXPECT_EQ(readAll(path("a.ingred")),
              QByteArray::fromHex("372C2241222C2220222C2220222C2220220D0A"));
}

TEST_F(TableFileCommands, SaveOfAnEmptyGridWritesNoBytes) {
    writeAll(path("e.ingred"), "old contents");
    ASSERT_TRUE(copyGridToRecords(ingred).ok);
    const SaveResult saved = saveRecords(ingred, path("e.ingred"));
    EXPECT_EQ(saved.status, QStringLiteral("INGRED Count is 0"));
    EXPECT_TRUE(QFile::exists(path("e.ingred")));
    EXPECT_EQ(readAll(path("e.ingred")), QByteArray());

    ASSERT_TRUE(copyGridToRecords(plu).ok);
    EXPECT_EQ(saveRecords(plu, path("e.plu")).status, QStringLiteral("PLU Count is 0"));
    EXPECT_EQ(QFile(path("e.plu")).size(), 0);
}

TEST_F(TableFileCommands, SaveThenOpenGivesTheGridBackApartFromTheSubstitutions) {
    setRow(plu.grid, 1, {"1", "123", "Crème brûlée", "", "250", "7", "-8", "9", ""});
    setRow(plu.grid, 2,
           {"2", "", "", "Zweite Zeile, lang genug für mehr als 28 Zeichen", "", "", "", "", "3"});
    ASSERT_TRUE(copyGridToRecords(plu).ok);
    ASSERT_TRUE(saveRecords(plu, path("round.plu")).ok);
    const auto savedRecords = plu.records;
    const QByteArray firstLine = "1,123,\"Cr\xE8me br\xFBl\xE9"
                                 "e\",\" \",250,7,-8,9,0\r\n";
    EXPECT_EQ(readAll(path("round.plu")).left(firstLine.size()), firstLine);

    PluTable reopened;
    reopened.reset();
    ASSERT_TRUE(openTable(reopened, path("round.plu")).ok);
    EXPECT_EQ(reopened.count, 2);
    EXPECT_EQ(reopened.records, savedRecords);
    EXPECT_EQ(reopened.grid.all()[1],
              (QStringList{"1", "1", "123", "Crème brûlée", " ", "250", "7", "-8", "9", "0"}));
    EXPECT_EQ(reopened.grid.text(2, 3), QStringLiteral(" "));
    EXPECT_EQ(reopened.grid.text(2, 2), QStringLiteral("0"));
}

TEST_F(TableFileCommands, FailedSaveLeavesThePreviousFile) {
    setRow(plu.grid, 1, {"1", "", "A", "", "", "", "", "", ""});
    ASSERT_TRUE(copyGridToRecords(plu).ok);

    const QString nowhere = path("no-such-folder/x.plu");
    const QString refused =
        QStringLiteral("Cannot save \"%1\": ").arg(QDir::toNativeSeparators(nowhere));
    const SaveResult missingFolder = saveRecords(plu, nowhere);
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_TRUE(missingFolder.status.startsWith(refused)) << missingFolder.status.toStdString();
    EXPECT_GT(missingFolder.status.size(), refused.size()) << "the reason is given";

#ifndef _WIN32 // Windows has no per-process limit on the size of a file
    // A write that fails part-way (here: the process may not write files this large).
    const QByteArray previous = "previous contents\r\n";
    writeAll(path("keep.plu"), previous);
    for (int r = 1; r <= 600; ++r)
        setRow(plu.grid, r, {QString::number(r), "", QString(200, QLatin1Char('n'))});
    ASSERT_TRUE(copyGridToRecords(plu).ok);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveResult partial = saveRecords(plu, path("keep.plu"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(partial.ok);
    EXPECT_EQ(partial.status,
              QStringLiteral("Cannot save \"%1\": File too large").arg(path("keep.plu")));
    EXPECT_EQ(readAll(path("keep.plu")), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";
#endif
}

TEST_F(TableFileCommands, SaveRefusesRecordsItCannotWrite) {
    // Records that did not come through the copy step, e.g. from the scale.
    plu.count = 1;
    plu.records[1].ItemName1 = QStringLiteral("a \"b\"");
    const SaveResult result = saveRecords(plu, path("q.plu"));
    EXPECT_EQ(result.status, QStringLiteral("Cannot save \"%1\": record 1, ItemName1: a double "
                                            "quote cannot be stored in the file")
                                 .arg(shown("q.plu")));
    EXPECT_FALSE(QFile::exists(path("q.plu")));
}

} // namespace
