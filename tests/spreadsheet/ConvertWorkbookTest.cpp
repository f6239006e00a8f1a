// scalectl convert with a workbook on either side.
#include "ImportTestSupport.h"

#include "spreadsheet/WorkbookReader.h"

#include <QFile>
#include <QProcess>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun scalectl(const QStringList& args, const QString& workDir) {
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(SCALECTL_PATH), args);
    CliRun run;
    if (!process.waitForFinished(30000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
#ifdef _WIN32 // scalectl's lines end in CR LF there
    run.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    run.err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return run;
}

using ConvertWorkbook = WorkbookFixture;

TEST_F(ConvertWorkbook, TableFileToWorkbookAndBackPrintsEveryStatusText) {
    QFile plu(dir.filePath(QStringLiteral("in.plu")));
    ASSERT_TRUE(plu.open(QIODevice::WriteOnly));
    plu.write("1,1001,\"Apples\",\"Red\",150,7,0,1,0\r\n2,0,\"0123\",\" \",99,0,0,0,0\r\n");
    plu.close();

    const CliRun out = scalectl({"convert", "in.plu", "out.xls"}, dir.path());
    ASSERT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_EQ(out.out, QStringLiteral("PLU Count is 2\n Excel File Save \n Data Changing ....  1\n"
                                      " Data Changing ....  2\n Save End\n"));
    const WorkbookRead read = readWorkbookFile(dir.filePath(QStringLiteral("out.xls")));
    ASSERT_TRUE(read.sheet);
    EXPECT_EQ(read.sheet->text(1, 2), QStringLiteral("Apples"));
    EXPECT_EQ(read.sheet->text(2, 2), QStringLiteral("0123"));

    const CliRun back = scalectl({"convert", "out.xls", "back.PLU"}, dir.path());
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    EXPECT_TRUE(back.out.startsWith(QStringLiteral(" Open Excel File \n Initializing \n")));
    EXPECT_TRUE(
        back.out.endsWith(QStringLiteral("PLU Number is 2\n Data is End \nPLU Count is 2\n")))
        << back.out.toStdString();
    QFile backFile(dir.filePath(QStringLiteral("back.PLU")));
    ASSERT_TRUE(backFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        backFile.readAll(),
        QByteArray("1,1001,\"Apples\",\"Red\",150,7,0,1,0\r\n2,0,\"0123\",\" \",99,0,0,0,0\r\n"));
}

TEST_F(ConvertWorkbook, TwoWorkbooksNeedTheTableAndBadWorkbooksExitWithThree) {
    const QString in =
        write(sheetOf({"Message No", "M1"}, {{"4", "Salt"}}), QStringLiteral("in.xls"));
    CliRun run = scalectl({"convert", "in.xls", "copy.xls"}, dir.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--table")));

    run = scalectl({"convert", "--table", "ingred", "in.xls", "copy.xls"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const WorkbookRead copy = readWorkbookFile(dir.filePath(QStringLiteral("copy.xls")));
    ASSERT_TRUE(copy.sheet);
    EXPECT_TRUE(copy.sheet->name.startsWith(QStringLiteral("INGRED ")));
    EXPECT_EQ(copy.sheet->text(1, 1), QStringLiteral("Salt"));
    EXPECT_EQ(copy.sheet->text(1, 2), QStringLiteral(" ")); // the import's blank message

    run = scalectl({"convert", "--table=cheese", "in.xls", "copy.xls"}, dir.path());
    EXPECT_EQ(run.exitCode, 2);

    // A workbook whose cell is no number, and a file that is no workbook.
    write(sheetOf({"PLU No"}, {{"abc"}}), QStringLiteral("bad.xls"));
    run = scalectl({"convert", "bad.xls", "out.plu"}, dir.path());
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(QStringLiteral("sheet row 2, column A: \"abc\" is not a number")))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.plu"))));
    QFile text(dir.filePath(QStringLiteral("text.xls")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("PLU No\n1\n");
    text.close();
    run = scalectl({"convert", "text.xls", "out.ingred"}, dir.path());
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(QStringLiteral("not an .xls workbook")));
}

} // namespace
