// scalectl convert: table files and workbooks in every form, either way round.

#include "spreadsheet/ImportTestSupport.h"
#include "spreadsheet/Sheet.h"
#include "spreadsheet/WorkbookContainer.h"
#include "spreadsheet/WorkbookWriter.h"
#include "support/ScalectlProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using CliRun = scalectl_process::Outcome;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// An export of a merchandise system and the column map that reads it.
const QByteArray kErpExport = "Export 14.01.;;;\r\nArt.-Nr.;Bezeichnung;VK-Preis;Tara kg\r\n"
                              "101;K\xe4se;12,99;0,015\r\n102;Brot;2,5;\r\n";
const QByteArray kErpMap = R"({"table": "plu", "decimalSeparator": ",", "skipRows": 1,
    "fields": {"PluNo": "Art.-Nr.", "ItemCode": {"default": 0}, "ItemName1": "Bezeichnung",
               "ItemName2": {"default": ""}, "UnitPrice": {"column": "VK-Preis", "factor": 100},
               "ValidDate": {"default": 0}, "Tare": {"column": 4, "factor": 1000, "default": 0},
               "GCode": {"default": 0}, "MessageNo": {"default": 0}}})";

// Table files as Save writes them (Windows-1252), with accents, leading-zero texts, texts
// shaped like numbers and formulas, and names at the 28-character limit.
const struct {
    const char* table;
    QByteArray file;
} kTables[] = {
    {"plu", "1,1001,\"007\",\"Cr\xE8me fra\xEE\x63he \xC0 l'ancienne\",150,7,0,1,0\r\n"
            "2,0,\"0123\",\" \",99,0,-5,0,3\r\n"
            "30000,2147483647,\"=SUM(A1)\",\"-1\",-32768,32767,0,99,32767\r\n"
            "4,-7,\"12\",\"'quoted\",1,2,3,4,5\r\n"},
    {"ingred", "1,\"007 \xC4pfel, \xF1\",\" \",\" \",\" \"\r\n"
               "200,\"+49 (0) 30, 'text'\",\"0042\",\"@home\",\"line; with semicolon\"\r\n"},
};

class ConvertCommand : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

    CliRun convert(const QStringList& args) const {
        return scalectl_process::scalectl(QStringList{QStringLiteral("convert")} + args,
                                          dir.path());
    }

    // A one-sheet .xls workbook with `header` in row 1 and `rows` below it, from column A.
    void writeWorkbook(const QString& name, const QStringList& header,
                       const QVector<QStringList>& rows) const {
        QString error;
        EXPECT_TRUE(saveWorkbook(path(name), WorkbookFixture::sheetOf(header, rows), &error))
            << error.toStdString();
    }
};

TEST_F(ConvertCommand, WritesWhatSaveWritesAfterOpen) {
    // LF lines, an empty name, no line end at the end: written back in the saved form.
    writeAll(path("in.plu"), "1,0,\"A\",\"\",100,0,0,0,0\n-5,7,\"Cr\xE8me\",\"x\",1,2,3,4,5");
    const CliRun plu = convert({"in.plu", "out.PLU"});
    EXPECT_EQ(plu.exitCode, 0) << plu.err.toStdString();
    EXPECT_EQ(plu.out, QStringLiteral("PLU Count is 2\nPLU Count is 2\n"));
    EXPECT_EQ(readAll(path("out.PLU")),
              QByteArray("1,0,\"A\",\" \",100,0,0,0,0\r\n-5,7,\"Cr\xE8me\",\"x\",1,2,3,4,5\r\n"));

    writeAll(path("in.INGRED"), "7,\"A\",\"\",\"\",\"\"\r\n");
    const CliRun ingred = convert({"in.INGRED", "out.ingred"});
    EXPECT_EQ(ingred.exitCode, 0) << ingred.err.toStdString();
    EXPECT_EQ(ingred.out, QStringLiteral("Message Count is 1\nINGRED Count is 1\n"));
    EXPECT_EQ(readAll(path("out.ingred")), QByteArray("7,\"A\",\" \",\" \",\" \"\r\n"));
}

TEST_F(ConvertCommand, TableFileToWorkbookAndBackPrintsEveryStatusText) {
    const QByteArray rows =
        "1,1001,\"Apples\",\"Red\",150,7,0,1,0\r\n2,0,\"0123\",\" \",99,0,0,0,0\r\n";
    writeAll(path("in.plu"), rows);

    const CliRun out = convert({"in.plu", "out.xls"});
    ASSERT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_EQ(out.out, QStringLiteral("PLU Count is 2\n Excel File Save \n Data Changing ....  1\n"
                                      " Data Changing ....  2\n Save End\n"));
    const WorkbookRead read = readWorkbookFile(path("out.xls"));
    ASSERT_TRUE(read.sheet);
    EXPECT_EQ(read.sheet->text(1, 2), QStringLiteral("Apples"));
    EXPECT_EQ(read.sheet->text(2, 2), QStringLiteral("0123"));

    const CliRun back = convert({"out.xls", "back.PLU"});
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    EXPECT_TRUE(back.out.startsWith(QStringLiteral(" Open Excel File \n Initializing \n")));
    EXPECT_TRUE(
        back.out.endsWith(QStringLiteral("PLU Number is 2\n Data is End \nPLU Count is 2\n")))
        << back.out.toStdString();
    EXPECT_EQ(readAll(path("back.PLU")), rows);
}

TEST_F(ConvertCommand, BetweenTwoWorkbooksTableNamesTheTable) {
    writeWorkbook(QStringLiteral("in.xls"), {"Message No", "M1"}, {{"4", "Salt"}});
    const CliRun run = convert({"--table", "ingred", "in.xls", "copy.xls"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const WorkbookRead copy = readWorkbookFile(path("copy.xls"));
    ASSERT_TRUE(copy.sheet);
    EXPECT_TRUE(copy.sheet->name.startsWith(QStringLiteral("INGRED ")));
    EXPECT_EQ(copy.sheet->text(1, 1), QStringLiteral("Salt"));
    EXPECT_EQ(copy.sheet->text(1, 2), QStringLiteral(" ")); // the import's blank message
}

TEST_F(ConvertCommand, MapReadsAnExportAsTheImportWould) {
    writeAll(path("export.csv"), kErpExport);
    writeAll(path("erp.json"), kErpMap);
    const CliRun run = convert({"--map", "erp.json", "export.csv", "prices.plu"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral(" Open Excel File \n Initializing \n")));
    EXPECT_TRUE(
        run.out.endsWith(QStringLiteral("PLU Number is 2\n Data is End \nPLU Count is 2\n")))
        << run.out.toStdString();
    EXPECT_EQ(readAll(path("prices.plu")), QByteArray("101,0,\"K\xe4se\",\" \",1299,0,15,0,0\r\n"
                                                      "102,0,\"Brot\",\" \",250,0,0,0,0\r\n"));
}

// .plu -> FROM -> TO -> .plu gives back the same bytes, for each table and each pair of
// workbook forms (FROM = TO included), so every form is read and written by every other.
TEST_F(ConvertCommand, EveryWorkbookFormInEveryDirectionGivesBackTheTableFile) {
    const auto converted = [this](const QStringList& args) {
        const CliRun run = convert(args);
        EXPECT_EQ(run.exitCode, 0) << args.join(' ').toStdString() << ": " << run.err.toStdString();
    };
    for (const auto& t : kTables) {
        const QString table = QString::fromLatin1(t.table);
        const QString in = QStringLiteral("in.") + table;
        writeAll(path(in), t.file);
        for (const char* from : {"xls", "xlsx", "csv"}) {
            const QString first = table + QStringLiteral("-first.") + QLatin1String(from);
            converted({in, first});
            for (const char* to : {"xls", "xlsx", "csv"}) {
                const QString second = table + QStringLiteral("-second.") + QLatin1String(to);
                const QString back = table + QStringLiteral("-back.") + table;
                converted({QStringLiteral("--table"), table, first, second});
                converted({second, back});
                EXPECT_EQ(readAll(path(back)), t.file) << t.table << ' ' << from << "->" << to;
            }
        }
    }
}

// Each form is told by the file's first bytes, whatever its name; OUT's form by its extension.
TEST_F(ConvertCommand, ReadsByFirstBytesWritesByExtension) {
    writeAll(path("in.plu"), kTables[0].file);
    const struct {
        const char* out;
        QByteArray firstBytes;
    } forms[] = {{"a.xlsx", "PK\x03\x04"},
                 {"a.xls", "\xD0\xCF\x11\xE0"},
                 {"a.csv", "\xEF\xBB\xBF\"PLU No\""}};
    for (const auto& form : forms) {
        ASSERT_EQ(convert({QStringLiteral("in.plu"), QLatin1String(form.out)}).exitCode, 0);
        EXPECT_TRUE(readAll(path(QLatin1String(form.out))).startsWith(form.firstBytes)) << form.out;
        // The same workbook under a misleading name reads the same.
        QFile::remove(path("named-wrong.txt"));
        ASSERT_TRUE(QFile::copy(path(QLatin1String(form.out)), path("named-wrong.txt")));
        const CliRun run = convert({QStringLiteral("named-wrong.txt"), QStringLiteral("b.plu")});
        EXPECT_EQ(run.exitCode, 0) << form.out << ": " << run.err.toStdString();
        EXPECT_EQ(readAll(path("b.plu")), kTables[0].file) << form.out;
    }
}

// A file that cannot be read or written: one line on stderr and no OUT. A file that cannot be
// read is refused before anything is printed, a workbook after its opening texts.
TEST_F(ConvertCommand, FileErrorsExitWithThree) {
    writeAll(path("bad.plu"), "1,0,\"A\",\" \",100,0,abc,0,0\r\n");
    writeAll(path("good.plu"), "1,0,\"A\",\" \",100,0,0,0,0\r\n");
    writeWorkbook(QStringLiteral("bad.xls"), {"PLU No"}, {{"abc"}});
    writeAll(path("junk.xls"), QByteArray("\0\1\2junk", 7));
    writeAll(path("erp.json"), kErpMap);
    writeAll(path("bad.json"), QByteArray(kErpMap).replace("\"factor\": 100}", "\"factor\": 12}"));
    writeAll(path("export.csv"), QByteArray(kErpExport).replace("2,5", "2,x"));
    const QString unwritable = QDir::toNativeSeparators(QStringLiteral("no/such/dir/out.plu"));
    const struct {
        QStringList args;
        QString says;
        bool printsNothing;
    } cases[] = {
        {{"bad.plu", "out.plu"},
         QStringLiteral("Cannot open \"bad.plu\": line 1, Tare: \"abc\" is not a number\n"),
         true},
        {{"none.ingred", "out.ingred"}, QStringLiteral("Cannot open \"none.ingred\": "), true},
        {{"good.plu", "no/such/dir/out.plu"},
         QStringLiteral("Cannot save \"%1\": ").arg(unwritable),
         false},
        {{"bad.xls", "out.plu"},
         QStringLiteral("sheet row 2, column A: \"abc\" is not a number"),
         false},
        {{"junk.xls", "out.ingred"}, QStringLiteral("Cannot import junk.xls: "), false},
        {{"export.csv", "out.plu", "--map=none.json"},
         QStringLiteral("Cannot read the column map none.json: "),
         true},
        {{"export.csv", "out.plu", "--map=bad.json"},
         QStringLiteral("Cannot read the column map bad.json: UnitPrice: the factor must be"),
         true},
        {{"export.csv", "out.plu", "--map=erp.json"},
         QStringLiteral("Cannot import export.csv: sheet row 4, column C (\"VK-Preis\"), "
                        "UnitPrice: \"2,x\" is not a number\n"),
         false},
    };
    for (const auto& c : cases) {
        const std::string call = c.args.join(' ').toStdString();
        const CliRun run = convert(c.args);
        EXPECT_EQ(run.exitCode, 3) << call;
        EXPECT_TRUE(run.err.contains(c.says)) << call << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << call << ": " << run.err.toStdString();
        if (c.printsNothing) {
            EXPECT_TRUE(run.out.isEmpty()) << call;
        }
        EXPECT_FALSE(QFile::exists(path(c.args[1]))) << call;
    }
}

TEST_F(ConvertCommand, UsageErrorsExitWithTwo) {
    writeWorkbook(QStringLiteral("in.xls"), {"Message No", "M1"}, {{"4", "Salt"}});
    writeAll(path("erp.json"), kErpMap);
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{}, "expected two files"},
        {{"a.plu"}, "expected two files"},
        {{"a.plu", "b.plu", "c.plu"}, "expected two files"},
        {{"a.plu", "b.ingred"}, "the extensions must name one table"},
        {{"a.plu", "out.ods"},
         "cannot write 'out.ods': OUT must end in .plu, .ingred, .xls, .xlsx or .csv"},
        {{"--frobnicate", "a.plu", "b.plu"}, "unknown option '--frobnicate'"},
        {{"in.xls", "copy.xls"}, "give --table plu or --table ingred"},
        {{"--table=cheese", "in.xls", "copy.xls"}, "--table takes plu or ingred"},
        {{"--map=erp.json", "a.plu", "copy.xls"}, "--map reads an export"},
        {{"--map=erp.json", "in.xls", "copy.ingred"}, "the map 'erp.json' is for the PLU table"},
        {{"--map=erp.json", "--table=ingred", "in.xls", "copy.xls"}, "is for the PLU table"},
    };
    for (const auto& c : cases) {
        const std::string call = c.args.join(' ').toStdString();
        const CliRun run = convert(c.args);
        EXPECT_EQ(run.exitCode, 2) << call;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.says)))
            << call << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage: scalectl convert IN OUT"))) << call;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"erp.json", "in.xls"}))
            << call; // nothing written
    }
}

} // namespace
