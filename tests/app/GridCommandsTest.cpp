// The spreadsheet-like commands of a grid view, driven by their keys: clipboard, clearing,
// rows, find, undo and redo.

#include "app/EditHistory.h"
#include "app/GridView.h"
#include "tables/CellBlockText.h"
#include "tables/Table.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Three rows as a spreadsheet program puts them on the clipboard: a quoted cell with a line
// break and doubled quotes, accents, an empty cell.
const QString kSpreadsheetRows = QString::fromUtf8("101\t4711\tCrème brûlée\t\t1990\r\n"
                                                   "102\t4712\t\"Pain \"\"rustique\"\"\nau "
                                                   "levain\"\tBäckerei\t350\r\n"
                                                   "103\t\tÆblegrød\t\t75\r\n");

class GridCommands : public ::testing::Test {
protected:
    void SetUp() override {
        plu.reset();
        history = std::make_unique<EditHistory>(plu.grid);
        view = std::make_unique<GridView>("grdPLU", "txtEditGrid", PluTable::kRowLimit,
                                          " Error ! PLU No is over ");
        view->setGrid(&plu.grid);
        view->setHistory(history.get());
        messages = std::make_unique<QSignalSpy>(view.get(), &GridView::statusText);
        view->resize(900, 400);
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
        view->setFocus();
    }

    // Selects the one cell: a plain setCurrentIndex would read the modifiers of the last key
    // click (Ctrl) and add to the selection.
    void goTo(int row, int col) { view->selectBlock(row, col, 1, 1); }
    void keys(QKeySequence sequence) {
        const QKeyCombination key = sequence[0];
        QTest::keyClick(view.get(), key.key(), key.keyboardModifiers());
    }
    QString column(int col, int first, int last) const {
        QStringList texts;
        for (int row = first; row <= last; ++row)
            texts << plu.grid.text(row, col);
        return texts.join(QLatin1Char('|'));
    }
    QString lastMessage() const {
        return messages->isEmpty() ? QString() : messages->last().at(0).toString();
    }

    PluTable plu;
    std::unique_ptr<EditHistory> history;
    std::unique_ptr<GridView> view; // goes before the table it shows
    std::unique_ptr<QSignalSpy> messages;
};

TEST_F(GridCommands, SpreadsheetBlockPastesCopiesBackCutsAndUndoes) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(kSpreadsheetRows);
    goTo(2, 1);
    keys(QKeySequence::Paste);
    EXPECT_EQ(column(1, 1, 5), "|101|102|103|");
    EXPECT_EQ(plu.grid.text(3, 3), "Pain \"rustique\"\nau levain");
    EXPECT_EQ(plu.grid.text(4, 3), QString::fromUtf8("Æblegrød"));
    EXPECT_EQ(plu.grid.text(2, 5), "1990");

    // The pasted block is selected: copying gives the same text back.
    clipboard->clear();
    keys(QKeySequence::Copy);
    EXPECT_EQ(clipboard->text(), kSpreadsheetRows);

    keys(QKeySequence::Cut);
    EXPECT_EQ(clipboard->text(), kSpreadsheetRows);
    EXPECT_EQ(column(1, 2, 4), "||");
    keys(QKeySequence::Undo);
    EXPECT_EQ(column(1, 2, 4), "101|102|103");
    QTest::keyClick(view.get(), Qt::Key_Y, Qt::ControlModifier); // redo
    EXPECT_EQ(column(5, 2, 4), "||");
    keys(QKeySequence::Undo);

    goTo(3, 5);
    QTest::keyClick(view.get(), Qt::Key_Delete);
    EXPECT_EQ(column(5, 2, 4), "1990||75");
    EXPECT_EQ(history->count(), 2); // paste and clear: the undone cut gave way
    while (history->canUndo())
        keys(QKeySequence::Undo);
    EXPECT_EQ(column(1, 1, 5), "||||");
    EXPECT_FALSE(history->unsaved());
    EXPECT_TRUE(messages->isEmpty());
}

TEST_F(GridCommands, PastePastTheRowLimitShowsTheMessageAndPastesNothing) {
    QString rows20;
    for (int i = 1; i <= 20; ++i)
        rows20 += QStringLiteral("%1\tx\r\n").arg(i);
    QGuiApplication::clipboard()->setText(rows20);
    goTo(582, 1);
    keys(QKeySequence::Paste);
    EXPECT_EQ(lastMessage(), " Error ! PLU No is over ");
    EXPECT_EQ(column(1, 582, 600), QString(18, QLatin1Char('|')));
    EXPECT_EQ(history->count(), 0);

    goTo(581, 1); // the last 20 rows: fits
    keys(QKeySequence::Paste);
    EXPECT_EQ(plu.grid.text(600, 1), "20");
    EXPECT_EQ(plu.grid.rows(), PluTable::kRowLimit);

    // A block wider than the columns from the cursor on is refused the same way.
    QGuiApplication::clipboard()->setText(kSpreadsheetRows);
    goTo(1, 6);
    keys(QKeySequence::Paste);
    EXPECT_EQ(lastMessage(), "Cannot paste: 5 columns do not fit from \"Valid Date\", which has "
                             "4 columns up to the last");
    EXPECT_EQ(plu.grid.text(1, 6), "");
}

TEST_F(GridCommands, RowsInsertedAndDeletedKeepTheNumbersAndUndoInOrder) {
    for (int row = 1; row <= 4; ++row)
        plu.grid.setText(row, 1, QString::number(row * 10));
    goTo(2, 3);
    QTest::keyClick(view.get(), Qt::Key_Plus, Qt::ControlModifier); // insert above row 2
    EXPECT_EQ(column(1, 1, 5), "10||20|30|40");
    view->selectBlock(3, 1, 2, 1); // rows 3 and 4: "20", "30"
    QTest::keyClick(view.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(column(1, 1, 5), "10||40||");
    EXPECT_EQ(column(0, 1, 5), "1|2|3|4|5");
    EXPECT_EQ(plu.grid.rows(), PluTable::kRowLimit);

    keys(QKeySequence::Undo);
    EXPECT_EQ(column(1, 1, 5), "10||20|30|40");
    keys(QKeySequence::Undo);
    EXPECT_EQ(column(1, 1, 5), "10|20|30|40|");
    QTest::keyClick(view.get(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(view.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(column(1, 1, 5), "10||40||");

    // A row with data in row 600 cannot be pushed past it.
    plu.grid.setText(600, 4, "last");
    goTo(1, 1);
    QTest::keyClick(view.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(lastMessage(), " Error ! PLU No is over ");
    EXPECT_EQ(plu.grid.text(1, 1), "10");
}

TEST_F(GridCommands, TypingIsUndoneAndUndoWhileTypingDropsTheTyping) {
    goTo(1, 3);
    QTest::keyClick(view.get(), 'a');
    QTest::keyClick(view->editBox(), Qt::Key_Return);
    EXPECT_EQ(plu.grid.text(1, 3), "a");
    EXPECT_TRUE(history->unsaved());
    EXPECT_EQ(view->findChild<QAction*>("grdPLUUndo")->text(), "Undo Typing");

    goTo(1, 4);
    QTest::keyClick(view.get(), 'b');
    view->undo(); // as the Edit menu does while the box is open
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(plu.grid.text(1, 4), "");
    EXPECT_EQ(plu.grid.text(1, 3), "a");
    keys(QKeySequence::Undo);
    EXPECT_EQ(plu.grid.text(1, 3), "");
    EXPECT_FALSE(history->unsaved());
}

TEST_F(GridCommands, FindMovesToTheNextMatchAndSaysWhenThereIsNone) {
    QSignalSpy findBar(view.get(), &GridView::findRequested);
    keys(QKeySequence::Find);
    EXPECT_EQ(findBar.count(), 1);
    QTest::keyClick(view.get(), Qt::Key_F3); // nothing searched yet: the bar again
    EXPECT_EQ(findBar.count(), 2);

    plu.grid.setText(3, 1, "12");
    plu.grid.setText(5, 1, "120");
    plu.grid.setText(7, 3, "Brot 12");
    plu.grid.setText(9, 4, "brot");
    goTo(1, 1);
    EXPECT_TRUE(view->findNext("12"));
    EXPECT_EQ(view->currentIndex().row() + 1, 3);
    EXPECT_TRUE(view->findNext("BROT"));
    EXPECT_EQ(view->currentIndex().row() + 1, 7);
    QTest::keyClick(view.get(), Qt::Key_F3);
    EXPECT_EQ(view->currentIndex().row() + 1, 9);
    EXPECT_EQ(view->currentIndex().column() + 1, 4);
    EXPECT_FALSE(view->findNext("Käse"));
    EXPECT_EQ(lastMessage(), QString::fromUtf8("Not found: \"Käse\""));
    EXPECT_EQ(view->currentIndex().row() + 1, 9);
}

} // namespace
