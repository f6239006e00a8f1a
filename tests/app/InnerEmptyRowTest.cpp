// A row left empty inside a table (an inserted row, a row cleared with Delete, a paste below
// the end, a cleared number) would end the table there and leave out every row below it.
// Each command that writes the grid somewhere refuses instead, says which row and puts the
// cursor on its number.

#include "app/FileDialog.h"
#include "app/GridView.h"
#include "app/frmMain.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

enum class GridState { InsertedRow, DeletedRowCells, PasteBelowTheEnd, ClearedNumber };

// One table's controls, and a line of its file with %1 for the number.
struct TableUse {
    const char* grid;
    const char* fileLine;
    QString number; // the title of the number's column
    // Open, then the commands that write the grid: Save, "Save and Send" (after choosing the
    // download's "ALL" option) and the exports to .xls, .xlsx and .csv.
    const char* open;
    const char* downloadAll;
    QStringList commands;
};

const TableUse kPlu{"grdPLU",
                    "%1,0,\"A\",\" \",100,0,0,0,0\r\n",
                    QStringLiteral("PLU No"),
                    "mnuFileOpen",
                    "optDownAllPLU",
                    {"mnuFileSave", "cmdPLUDownload", "mnuXls", "mnuXlsx", "mnuCsv"}};
const TableUse kIngred{"grdINGRED",
                       "%1,\"a\",\" \",\" \",\" \"\r\n",
                       QStringLiteral("Message No"),
                       "mnuFileOpen1",
                       "optDownAllINGRED",
                       {"mnuFileSave1", "cmdINGREDDownload", "mnuLxls2", "mnuLxlsx2", "mnuLcsv2"}};

class InnerEmptyRow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        window.setClock(clock);
        window.setPromptFunction([this](const SavePrompt&) {
            ++prompts;
            return answer;
        });
        window.findChild<FileDialog*>("dlgFile")->setChooser(
            [this](FileDialog::Mode, const QString&, const QString&) -> std::optional<QString> {
                ++dialogs;
                return nextPath;
            });
        window.findChild<QComboBox*>("cboComOther")->setEditText("sim");
        window.findChild<QRadioButton*>("optComOther")->setChecked(true);
        window.cmdPortOpen_Click();
        embeddedScale().clearFaults();
    }
    void TearDown() override { window.cmdPortClose_Click(); }

    // The table opened from a file of rows 1 to 5, then brought into `state`; returns the row
    // left without a number.
    int prepare(const TableUse& use, GridView& view, GridState state) {
        nextPath = dir.filePath(QStringLiteral("five"));
        QFile file(*nextPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (int row = 1; row <= 5; ++row)
            file.write(QString::fromLatin1(use.fileLine).arg(row).toLatin1());
        file.close();
        answer = SavePrompt::Answer::Discard; // what the case before left
        trigger(use.open);
        answer = SavePrompt::Answer::Save; // "Save and Send"
        const int wholeRow = view.grid()->cols() - 1;
        switch (state) {
        case GridState::InsertedRow:
            view.selectBlock(3, 1, 1, 1);
            view.insertRowAbove();
            return 3;
        case GridState::DeletedRowCells:
        case GridState::ClearedNumber:
            view.selectBlock(3, 1, 1, state == GridState::ClearedNumber ? 1 : wholeRow);
            view.clearSelection();
            return 3;
        case GridState::PasteBelowTheEnd:
            view.selectBlock(7, 1, 1, 1);
            view.pasteText(QStringLiteral("7\tg"));
            return 6;
        }
        return 0;
    }

    void trigger(const char* name) {
        if (auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name))) {
            button->click();
            return;
        }
        QAction* action = window.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }

    // What only a complete command may change: both tables' records and counts, the source.
    struct Kept {
        decltype(PluTable::records) plu;
        decltype(IngredTable::records) ingred;
        qint16 pluCount;
        qint16 ingredCount;
        QString source;
        bool operator==(const Kept&) const = default;
    };
    Kept kept() {
        return {window.pluTable().records, window.ingredTable().records, window.pluTable().count,
                window.ingredTable().count, window.sourcePath()};
    }

    QTemporaryDir dir;
    ManualClock clock;
    frmMain window;
    SavePrompt::Answer answer = SavePrompt::Answer::Save;
    int prompts = 0;
    int dialogs = 0;
    std::optional<QString> nextPath;
};

TEST_F(InnerEmptyRow, EveryCommandRefusesNamesTheRowAndShowsIt) {
    const GridState states[] = {GridState::InsertedRow, GridState::DeletedRowCells,
                                GridState::PasteBelowTheEnd, GridState::ClearedNumber};
    const QString written = dir.filePath(QStringLiteral("written"));
    for (const TableUse* use : {&kPlu, &kIngred}) {
        auto* view = window.findChild<GridView*>(QString::fromLatin1(use->grid));
        window.findChild<QRadioButton*>(QString::fromLatin1(use->downloadAll))->setChecked(true);
        for (GridState state : states) {
            for (const QString& command : use->commands) {
                SCOPED_TRACE(::testing::Message() << int(state) << " " << command.toStdString());
                const int row = prepare(*use, *view, state);
                const Kept before = kept();
                view->selectBlock(1, 2, 1, 1); // the cursor away from the row, the tab too
                window.tabs()->setCurrentIndex(0);
                QFile::remove(written);
                nextPath = written;
                dialogs = 0;
                prompts = 0;
                const int exchanges = embeddedScale().exchanges();

                trigger(command.toLatin1().constData());

                EXPECT_EQ(window.statusText(),
                          QStringLiteral("Row %1 has no %2, and rows below it hold data: fill "
                                         "in its %2 or delete the row")
                              .arg(row)
                              .arg(use->number));
                EXPECT_EQ(dialogs, 0);
                EXPECT_EQ(prompts, command == use->commands[1] ? 1 : 0); // "Save and Send"
                EXPECT_FALSE(QFile::exists(written));
                EXPECT_EQ(embeddedScale().exchanges(), exchanges);
                EXPECT_TRUE(kept() == before);
                EXPECT_TRUE(window.tabs()->currentWidget()->isAncestorOf(view));
                EXPECT_EQ(view->currentIndex().row() + 1, row);
                EXPECT_EQ(view->currentIndex().column() + 1, 1);
            }
        }
    }
}

} // namespace
