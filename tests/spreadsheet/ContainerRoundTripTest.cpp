// The .xlsx and .csv containers against the .xls one: the same sheet in any of the three
// gives the same table. Another program (openpyxl and Python's csv module, LibreOffice for
// the committed files, see tests/data/containers/README.md) writes and reads the same sheets.
#include "spreadsheet/CellText.h"
#include "spreadsheet/CsvReader.h"
#include "spreadsheet/CsvWriter.h"
#include "spreadsheet/WorkbookContainer.h"
#include "spreadsheet/WorkbookExport.h"
#include "spreadsheet/WorkbookImport.h"
#include "spreadsheet/WorkbookWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/XlsxWriter.h"
#include "support/TextPrinting.h"

#include "files/FileBytes.h"
#include "tables/Table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kOtherProgram =
    QStringLiteral(SCALEDESK_TEST_DATA "/../spreadsheet/openpyxl_workbooks.py");
const workbook::StatusSink kQuiet = [](const QString&) {};

struct Case {
    QString label;
    Sheet sheet;
    const TableKind* kind;
};

// Both tables as the export writes them, with accents, leading-zero texts and signs.
QList<Case> exportedSheets() {
    PluTable plu;
    plu.reset();
    const QStringList pluRows[] = {
        {"1", "0123", QString::fromUtf8("Äpfel € grün"), "007", "150", "7", "-3", "0", "1"},
        {"2", "1002", "  Pears  ", QString::fromUtf8("Ωμέγα"), "2.5", "0", "0", "2", "0"},
        {"600", "99999999", "=1+1", "-x", "-150", "30", "5", "4", "199"}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 9; ++c)
            plu.grid.setText(r + 1, c + 1, pluRows[r][c]);
    }
    IngredTable ingred;
    ingred.reset();
    const QStringList ingredRows[] = {
        {"1", "Wheat flour, water, salt", "", "0042", "@home"},
        {"2", QString::fromUtf8("Milk (72 %), cream — Ωmega"), "say \"hi\"", "two\nlines", "x"}};
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 5; ++c)
            ingred.grid.setText(r + 1, c + 1, ingredRows[r][c]);
    }
    const QDate day(2026, 12, 6);
    return {
        {"plu", workbook::exportSheet(plu.grid, pluKind(), day, kQuiet), &pluKind()},
        {"ingred", workbook::exportSheet(ingred.grid, ingredKind(), day, kQuiet), &ingredKind()}};
}

QString dataFile(const QString& name) {
    return QStringLiteral(SCALEDESK_TEST_DATA "/") + name;
}

const QList<std::pair<QString, const TableKind*>> kForeignWorkbooks = {
    {"plu-libreoffice", &pluKind()},
    {"ingred-xlwt", &ingredKind()},
    {"ingred-long-xlwt", &ingredKind()}};

QList<Case> foreignSheets() {
    QList<Case> cases;
    for (const auto& [name, kind] : kForeignWorkbooks) {
        const WorkbookRead read = readWorkbookFile(dataFile("workbooks/" + name + ".xls"));
        EXPECT_TRUE(read.sheet) << name.toStdString();
        cases.append({name, read.sheet.value_or(Sheet()), kind});
    }
    return cases;
}

void expectSameImport(const Sheet& expected, const Sheet& actual, const TableKind& kind,
                      const QString& label) {
    const auto want = workbook::importSheet(expected, kind, QStringLiteral("x"), kQuiet);
    const auto got = workbook::importSheet(actual, kind, QStringLiteral("x"), kQuiet);
    ASSERT_TRUE(want && got) << label.toStdString();
    EXPECT_EQ(got->count, want->count) << label.toStdString();
    EXPECT_EQ(got->cells, want->cells) << label.toStdString();
    EXPECT_EQ(got->numbers, want->numbers) << label.toStdString();
    EXPECT_EQ(got->texts, want->texts) << label.toStdString();
}

void expectSameCells(const Sheet& expected, const Sheet& actual, const QString& label) {
    for (auto it = expected.cells.cbegin(); it != expected.cells.cend(); ++it)
        EXPECT_EQ(actual.cells.value(it.key()), it.value())
            << label.toStdString() << " row " << Sheet::rowOf(it.key()) + 1 << " column "
            << Sheet::colOf(it.key()) + 1;
    EXPECT_EQ(actual.cells.size(), expected.cells.size()) << label.toStdString();
}

TEST(ContainerRoundTrip, BothTablesThroughXlsxAndCsvComeBackAsThroughXls) {
    for (const Case& c : exportedSheets()) {
        QString error;
        const WorkbookRead viaXls = readWorkbook(workbookBytes(c.sheet, &error).value());
        const WorkbookRead viaXlsx = readXlsx(xlsxBytes(c.sheet, &error).value());
        const WorkbookRead viaCsv = readCsv(csvBytes(c.sheet, &error).value());
        ASSERT_TRUE(viaXls.sheet && viaXlsx.sheet && viaCsv.sheet) << c.label.toStdString();
        expectSameCells(c.sheet, *viaXlsx.sheet, c.label + " .xlsx");
        expectSameCells(c.sheet, *viaCsv.sheet, c.label + " .csv");
        expectSameImport(*viaXls.sheet, *viaXlsx.sheet, *c.kind, c.label + " .xlsx");
        expectSameImport(*viaXls.sheet, *viaCsv.sheet, *c.kind, c.label + " .csv");
    }
}

TEST(WorkbookContainer, ToldByTheFirstBytesAndReadByItsReader) {
    QString error;
    Sheet sheet;
    sheet.name = QStringLiteral("S");
    sheet.setText(0, 0, QStringLiteral("007"));
    const QList<std::pair<QByteArray, WorkbookContainer>> files = {
        {workbookBytes(sheet, &error).value(), WorkbookContainer::Xls},
        {xlsxBytes(sheet, &error).value(), WorkbookContainer::Xlsx},
        {csvBytes(sheet, &error).value(), WorkbookContainer::Csv},
        {"007", WorkbookContainer::Csv}};
    for (const auto& [bytes, container] : files) {
        EXPECT_EQ(containerOf(bytes), container);
        const WorkbookRead read = readAnyWorkbook(bytes);
        ASSERT_TRUE(read.sheet) << read.error.toStdString();
        EXPECT_EQ(read.sheet->text(0, 0), QStringLiteral("007"));
    }
    EXPECT_EQ(containerOf(QByteArray("\x09\x04\x06\x00", 4)), WorkbookContainer::Xls);
    EXPECT_EQ(readAnyWorkbook(QByteArray()).error, QStringLiteral("the file is empty"));
}

// Where LibreOffice's .csv differs from the sheet it converted, for a reason of its own:
// it writes a date-formatted number as the date, and it turned the boolean into 1.
const QHash<QString, QList<std::pair<int, int>>> kLibreOfficeCsvChanges = {
    {"plu-libreoffice", {{1, 5}}}, {"ingred-xlwt", {{3, 1}}}};

TEST(ForeignContainers, LibreOfficeXlsxAndCsvGiveTheSheetOfTheXls) {
    for (const Case& c : foreignSheets()) {
        const WorkbookRead xlsx =
            readXlsx(readFileBytes(dataFile("containers/" + c.label + ".xlsx")).bytes);
        ASSERT_TRUE(xlsx.sheet) << c.label.toStdString() << xlsx.error.toStdString();
        EXPECT_EQ(xlsx.sheet->name, c.sheet.name);
        expectSameCells(c.sheet, *xlsx.sheet, c.label + " .xlsx");
        expectSameImport(c.sheet, *xlsx.sheet, *c.kind, c.label + " .xlsx");

        QStringList csvFiles = {"containers/" + c.label + ".csv"};
        if (c.label == u"plu-libreoffice")
            csvFiles.append("containers/plu-libreoffice-semicolon-1252.csv");
        for (const QString& file : csvFiles) {
            const WorkbookRead csv = readCsv(readFileBytes(dataFile(file)).bytes);
            ASSERT_TRUE(csv.sheet) << file.toStdString() << csv.error.toStdString();
            Sheet patched = *csv.sheet; // the rest must be exactly the sheet of the .xls
            for (const auto& [row, col] : kLibreOfficeCsvChanges.value(c.label)) {
                EXPECT_NE(patched.text(row, col), c.sheet.text(row, col));
                patched.setText(row, col, c.sheet.text(row, col));
            }
            expectSameCells(c.sheet, patched, file);
            expectSameImport(c.sheet, patched, *c.kind, file);
        }
    }
}

QByteArray runOtherProgram(const QStringList& arguments) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{kOtherProgram} + arguments);
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return python.readAllStandardOutput();
}

// Every sheet the tests generate and every .xls one, typed as the .xls holds it.
QList<Case> allSheets() {
    return exportedSheets() + foreignSheets();
}

TEST(ForeignContainers, SheetsSavedByAnotherProgramImportAsTheSameTable) {
    const QList<Case> cases = allSheets();
    QJsonArray sheetList;
    for (const Case& c : cases) {
        QJsonArray cells;
        for (auto it = c.sheet.cells.cbegin(); it != c.sheet.cells.cend(); ++it) {
            const auto number = celltext::exactNumber(it.value());
            cells.append(QJsonArray{Sheet::rowOf(it.key()), Sheet::colOf(it.key()),
                                    number ? QJsonValue(*number) : QJsonValue(it.value())});
        }
        sheetList.append(QJsonObject{{"name", c.sheet.name}, {"cells", cells}});
    }
    QTemporaryDir dir;
    const QString sheetsPath = dir.filePath(QStringLiteral("sheets.json"));
    ASSERT_EQ(writeFileAtomically(sheetsPath, QJsonDocument(sheetList).toJson()), QString());
    runOtherProgram({QStringLiteral("write"), sheetsPath, dir.path()});
    for (int i = 0; i < cases.size(); ++i) {
        for (const char* suffix : {".xlsx", ".csv"}) {
            const QByteArray bytes = readFileBytes(dir.filePath(QString::number(i) + suffix)).bytes;
            const WorkbookRead read =
                QLatin1String(suffix) == ".csv" ? readCsv(bytes) : readXlsx(bytes);
            const QString label = cases[i].label + suffix;
            ASSERT_TRUE(read.sheet) << label.toStdString() << read.error.toStdString();
            expectSameCells(cases[i].sheet, *read.sheet, label);
            expectSameImport(cases[i].sheet, *read.sheet, *cases[i].kind, label);
        }
    }
}

TEST(ForeignContainers, OpenpyxlReadsOurXlsxWithTextsAsTextsAndNumbersAsNumbers) {
    const QList<Case> cases = allSheets();
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < cases.size(); ++i) {
        QString error;
        paths.append(dir.filePath(QString::number(i) + QStringLiteral(".xlsx")));
        ASSERT_EQ(writeFileAtomically(paths.last(), xlsxBytes(cases[i].sheet, &error).value()),
                  QString());
    }
    const QList<QByteArray> lines =
        runOtherProgram(QStringList{QStringLiteral("read")} + paths).trimmed().split('\n');
    ASSERT_EQ(lines.size(), cases.size());
    for (int i = 0; i < cases.size(); ++i) {
        const QJsonObject theirs = QJsonDocument::fromJson(lines[i]).object();
        const Sheet& ours = cases[i].sheet;
        EXPECT_EQ(theirs["name"].toString(), ours.name);
        const QJsonArray cells = theirs["cells"].toArray();
        EXPECT_EQ(cells.size(), ours.cells.size()) << cases[i].label.toStdString();
        for (const QJsonValue& value : cells) {
            const QJsonArray cell = value.toArray();
            const QString text = ours.text(cell[0].toInt(), cell[1].toInt());
            const auto number = celltext::exactNumber(text);
            if (number) {
                EXPECT_EQ(cell[2].toString(), QStringLiteral("number")) << text.toStdString();
                EXPECT_EQ(cell[3].toDouble(), *number);
            } else {
                EXPECT_EQ(cell[2].toString(), QStringLiteral("text")) << text.toStdString();
                EXPECT_EQ(cell[3].toString(), text);
            }
        }
    }
}

} // namespace
