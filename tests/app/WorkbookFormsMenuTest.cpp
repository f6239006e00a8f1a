// The .xlsx and .csv items of both tables' Open and Save submenus, driven as the operator
// drives them, with the file dialog answered by the test.
#include "app/FileDialog.h"
#include "app/frmMain.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Item {
    const char* open;
    const char* save;
    const char* filter; // as the dialog gets it, for both directions
    QByteArray firstBytes;
};

const Item kXlsx{nullptr, nullptr, "Excel Workbook (*.xlsx) (*.XLSX *.xlsx);;ALL File (*.*) (*)",
                 "PK\x03\x04"};
const Item kCsv{nullptr, nullptr, "CSV File (*.csv) (*.CSV *.csv);;ALL File (*.*) (*)",
                "\xEF\xBB\xBF"};

Item named(Item item, const char* open, const char* save) {
    item.open = open;
    item.save = save;
    return item;
}

// Grid row 1 and 2 of a table, every column filled: accents, leading zeros, formula-shaped
// texts, names at the 28-character limit.
const QStringList kPluRows[] = {
    {"1", "007", "Cr\u00E8me fra\u00EEche \u00C0 l'ancienne", "0123", "150", "7", "0", "1", "0"},
    {"2", "-7", "=SUM(A1)", "'quoted", "99", "0", "-5", "0", "3"},
};
const QStringList kIngredRows[] = {
    {"1", "007 \u00C4pfel, \u00F1", "0042", "@home", "line; with semicolon"},
    {"200", "+49 (0) 30", "-1", "\"quoted\"", " "},
};

template <typename Table> void fill(Table& table, const QStringList (&rows)[2]) {
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.grid.setText(r + 1, c + 1, rows[r][c]);
}

template <typename Table> QVector<QStringList> firstRows(const Table& table, int columns) {
    QVector<QStringList> rows;
    for (int r = 1; r <= 2; ++r) {
        QStringList row;
        for (int c = 1; c <= columns; ++c)
            row.append(table.grid.text(r, c));
        rows.append(row);
    }
    return rows;
}

class WorkbookFormsMenu : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        auto* dialog = window.findChild<FileDialog*>(QStringLiteral("dlgFile"));
        ASSERT_NE(dialog, nullptr);
        dialog->setChooser([this](FileDialog::Mode, const QString& filter,
                                  const QString&) -> std::optional<QString> {
            lastFilter = filter;
            return answer;
        });
        window.setPromptFunction([](const SavePrompt&) { return SavePrompt::Answer::Discard; });
    }

    QAction* item(const char* name) {
        QAction* action = window.findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }

    // Saves the table through `save`, then clears it and opens the file through `open`;
    // returns what the grid holds afterwards.
    template <typename Table>
    QVector<QStringList> saveAndOpen(Table& table, const Item& format, const QString& file,
                                     int columns) {
        answer = dir.filePath(file);
        item(format.save)->trigger();
        EXPECT_EQ(window.statusText(), QStringLiteral(" Save End")) << format.save;
        EXPECT_EQ(lastFilter, QLatin1String(format.filter)) << format.save;
        QFile written(*answer);
        EXPECT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(written.read(4).startsWith(format.firstBytes)) << format.save;

        table.grid.setText(1, 1, QString());
        item(format.open)->trigger();
        EXPECT_EQ(window.statusText(), QStringLiteral(" Data is End ")) << format.open;
        EXPECT_EQ(lastFilter, QLatin1String(format.filter)) << format.open;
        EXPECT_EQ(window.sourcePath(), *answer);
        EXPECT_EQ(table.count, 2) << format.open;
        return firstRows(table, columns);
    }

    QTemporaryDir dir;
    frmMain window;
    std::optional<QString> answer;
    QString lastFilter;
};

// Each new item of each table writes its form and reads it back into the same grid, with the
// texts and the dialog filter of its form.
TEST_F(WorkbookFormsMenu, SaveThenOpenGivesTheSameGridForEachTableAndForm) {
    fill(window.pluTable(), kPluRows);
    const QVector<QStringList> plu = firstRows(window.pluTable(), 9);
    fill(window.ingredTable(), kIngredRows);
    const QVector<QStringList> ingred = firstRows(window.ingredTable(), 5);

    EXPECT_EQ(saveAndOpen(window.pluTable(), named(kXlsx, "mnuLxlsx", "mnuXlsx"), "p.xlsx", 9),
              plu);
    EXPECT_EQ(saveAndOpen(window.pluTable(), named(kCsv, "mnuLcsv", "mnuCsv"), "p.csv", 9), plu);
    EXPECT_EQ(
        saveAndOpen(window.ingredTable(), named(kXlsx, "mnuLxlsx1", "mnuLxlsx2"), "i.xlsx", 5),
        ingred);
    EXPECT_EQ(saveAndOpen(window.ingredTable(), named(kCsv, "mnuLcsv1", "mnuLcsv2"), "i.csv", 5),
              ingred);
    EXPECT_EQ(window.pluTable().records[1].ItemName1,
              QStringLiteral("Cr\u00E8me fra\u00EEche \u00C0 l'ancienne"));

    // An import goes by the file's first bytes, whichever item chose it.
    answer = dir.filePath(QStringLiteral("p.xlsx"));
    window.pluTable().grid.setText(1, 1, QString());
    item("mnuLcsv")->trigger();
    EXPECT_EQ(window.statusText(), QStringLiteral(" Data is End "));
    EXPECT_EQ(firstRows(window.pluTable(), 9), plu);

    // A cancelled dialog leaves the first text of the command showing.
    answer.reset();
    item("mnuLxlsx2")->trigger();
    EXPECT_EQ(window.statusText(), QStringLiteral(" Input File Name "));
}

// While the line is in use the new items are disabled like the other file commands.
TEST_F(WorkbookFormsMenu, DisabledDuringLineWork) {
    const char* const names[] = {"mnuLxlsx",  "mnuXlsx",   "mnuLcsv",  "mnuCsv",
                                 "mnuLxlsx1", "mnuLxlsx2", "mnuLcsv1", "mnuLcsv2"};
    window.beginLineWork();
    for (const char* name : names)
        EXPECT_FALSE(item(name)->isEnabled()) << name;
    window.endLineWork();
    for (const char* name : names)
        EXPECT_TRUE(item(name)->isEnabled()) << name;
}

} // namespace
