#include "app/GridView.h"
#include "tables/Table.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

// The two grids differ only in their size, row limit, message and names.
struct GridCase {
    const char* label;
    const char* gridName;
    const char* editBoxName;
    int rowLimit;
    const char* message;
    int lastColumn;
};

const GridCase kPlu{"PLU", "grdPLU", "txtEditGrid", 601, " Error ! PLU No is over ", 9};
const GridCase kIngred{"INGRED", "grdINGRED", "txtEditGrid1", 201, " Error ! Message No is over ",
                       5};

void PrintTo(const GridCase& c, std::ostream* os) {
    *os << c.label;
}

class GridViewTest : public ::testing::TestWithParam<GridCase> {
protected:
    void SetUp() override {
        const GridCase& c = GetParam();
        if (c.rowLimit == PluTable::kRowLimit) {
            plu.reset();
            grid = &plu.grid;
        } else {
            ingred.reset();
            grid = &ingred.grid;
        }
        view = std::make_unique<GridView>(c.gridName, c.editBoxName, c.rowLimit, c.message);
        view->setGrid(grid);
        messages = std::make_unique<QSignalSpy>(view.get(), &GridView::statusText);
        view->resize(900, 400);
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
        view->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), view.get());
    }

    // Resets the table instead of the test so that every case starts from the same grid.
    void resetTable() {
        if (GetParam().rowLimit == PluTable::kRowLimit)
            plu.reset();
        else
            ingred.reset();
    }

    QLineEdit* box() const { return view->editBox(); }
    int lastRow() const { return grid->rows() - 1; }
    QModelIndex cell(int row, int col) const { return grid->index(row - 1, col - 1); }
    void goTo(int row, int col) { view->setCurrentIndex(cell(row, col)); }
    int currentRow() const { return view->currentIndex().row() + 1; }
    int currentCol() const { return view->currentIndex().column() + 1; }
    QPoint centreOf(int row, int col) {
        view->scrollTo(cell(row, col));
        return view->visualRect(cell(row, col)).center();
    }
    void typeOnGrid(char c) { QTest::keyClick(view.get(), c); }
    void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(w, key, mods);
    }
    // Returns whether the grid accepted the key.
    bool sendKey(Qt::Key key, Qt::KeyboardModifiers mods, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(view.get(), &event);
        return event.isAccepted();
    }
    // Types `text` into a cell and ends the edit with `key` in the box.
    void edit(int row, int col, const QString& text, Qt::Key key) {
        goTo(row, col);
        typeOnGrid(text.at(0).toLatin1());
        QTest::keyClicks(box(), text.mid(1));
        press(box(), key);
    }
    void expectIdleAt(int row, int col) {
        EXPECT_FALSE(box()->isVisible());
        EXPECT_FALSE(view->isEditing());
        EXPECT_EQ(currentRow(), row);
        EXPECT_EQ(currentCol(), col);
        EXPECT_EQ(QApplication::focusWidget(), view.get());
    }
    void expectEditing(const QString& text, int caret) {
        ASSERT_TRUE(box()->isVisible());
        EXPECT_EQ(box()->text(), text);
        EXPECT_EQ(box()->cursorPosition(), caret);
        EXPECT_EQ(box()->geometry(), view->visualRect(view->currentIndex()));
        EXPECT_EQ(QApplication::focusWidget(), box());
    }

    PluTable plu;
    IngredTable ingred;
    TextGrid* grid = nullptr;
    std::unique_ptr<GridView> view; // destroyed before the tables it shows
    std::unique_ptr<QSignalSpy> messages;
};

TEST_P(GridViewTest, TypedCharacterReplacesTheCellAndEnterMovesRight) {
    goTo(1, 1);
    typeOnGrid('7');
    expectEditing("7", 1);
    press(box(), Qt::Key_Return);
    EXPECT_EQ(grid->text(1, 1), "7");
    expectIdleAt(1, 2);

    grid->setText(3, 2, "old");
    goTo(3, 2);
    typeOnGrid('x');
    expectEditing("x", 1);
    QTest::keyClicks(box(), "yz");
    press(box(), Qt::Key_Enter); // the keypad's Enter
    EXPECT_EQ(grid->text(3, 2), "xyz");
    expectIdleAt(3, 3);
    EXPECT_EQ(messages->count(), 0);
}

TEST_P(GridViewTest, ControlKeysOpenTheBoxWithTheCellText) {
    for (Qt::Key key :
         {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Backspace, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        grid->setText(2, 2, "1234");
        goTo(2, 2);
        press(view.get(), key);
        expectEditing("1234", 4);
        press(box(), Qt::Key_Escape);
        EXPECT_EQ(grid->text(2, 2), "1234");
        expectIdleAt(2, 2);
    }
}

TEST_P(GridViewTest, NavigationAndShortcutKeysOpenNothing) {
    goTo(2, 2);
    press(view.get(), Qt::Key_Right);
    expectIdleAt(2, 3);
    press(view.get(), Qt::Key_Down);
    expectIdleAt(3, 3);
    press(view.get(), Qt::Key_Left);
    expectIdleAt(3, 2);
    press(view.get(), Qt::Key_Up);
    expectIdleAt(2, 2);
    press(view.get(), Qt::Key_Tab);
    expectIdleAt(2, 3);
    // Delete and Ctrl+C carry these texts when typed on a real keyboard.
    sendKey(Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
    expectIdleAt(2, 3);
    sendKey(Qt::Key_C, Qt::ControlModifier, QString(QChar(0x03)));
    expectIdleAt(2, 3);
    EXPECT_EQ(grid->text(2, 3), "");
    // Left to the tab control around the grid.
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_PageDown, Qt::Key_PageUp}) {
        EXPECT_FALSE(sendKey(key, Qt::ControlModifier)) << key;
        expectIdleAt(2, 3);
    }
}

TEST_P(GridViewTest, EscapeKeepsTheOldText) {
    grid->setText(4, 3, "old");
    goTo(4, 3);
    press(view.get(), Qt::Key_Space);
    QTest::keyClicks(box(), "new");
    EXPECT_EQ(box()->text(), "oldnew");
    press(box(), Qt::Key_Escape);
    EXPECT_EQ(grid->text(4, 3), "old");
    expectIdleAt(4, 3);

    // Nothing of the discarded edit comes back when the cursor moves on.
    press(view.get(), Qt::Key_Right);
    EXPECT_EQ(grid->text(4, 3), "old");
}

TEST_P(GridViewTest, DownArrowCommitsAndStaysOnTheCell) {
    edit(3, 2, "42", Qt::Key_Down);
    EXPECT_EQ(grid->text(3, 2), "42");
    expectIdleAt(3, 2);
}

TEST_P(GridViewTest, ClickingAnotherCellCommitsIntoTheEditedOne) {
    goTo(2, 3);
    typeOnGrid('x');
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(4, 1));
    EXPECT_EQ(grid->text(2, 3), "x");
    EXPECT_EQ(grid->text(4, 1), "");
    expectIdleAt(4, 1);
}

TEST_P(GridViewTest, KeysTheBoxDoesNotUseStayInTheBox) {
    goTo(3, 2);
    typeOnGrid('a');
    press(box(), Qt::Key_Up);
    press(box(), Qt::Key_PageDown);
    expectEditing("a", 1);
    EXPECT_EQ(currentRow(), 3);
}

TEST_P(GridViewTest, TabInTheBoxCommitsAndMovesRight) {
    goTo(3, 2);
    typeOnGrid('t');
    press(box(), Qt::Key_Tab);
    EXPECT_EQ(grid->text(3, 2), "t");
    expectIdleAt(3, 3);
}

TEST_P(GridViewTest, EnterInTheLastColumnMovesToTheNextRowWithoutAddingRows) {
    const int last = GetParam().lastColumn;
    edit(5, last, "9", Qt::Key_Return);
    EXPECT_EQ(grid->text(5, last), "9");
    expectIdleAt(6, 1);
    EXPECT_EQ(grid->rows(), GetParam().rowLimit);
}

TEST_P(GridViewTest, EnterInTheLastColumnOfTheLastRowAddsTwoNumberedRows) {
    const int limit = GetParam().rowLimit;
    const int last = GetParam().lastColumn;
    edit(limit - 1, last, "end", Qt::Key_Return);
    EXPECT_EQ(grid->text(limit - 1, last), "end");
    ASSERT_EQ(grid->rows(), limit + 2);
    EXPECT_EQ(grid->text(limit, 0), QString::number(limit));
    EXPECT_EQ(grid->text(limit + 1, 0), QString::number(limit + 1));
    EXPECT_EQ(grid->text(limit, 1), "");
    EXPECT_EQ(view->rowHeight(limit - 1), 20);
    EXPECT_EQ(view->rowHeight(limit), 20);
    expectIdleAt(limit, 1);
}

TEST_P(GridViewTest, EnterInTheLastColumnOfTheRowAboveTheLastAddsOneRow) {
    const int limit = GetParam().rowLimit;
    const int last = GetParam().lastColumn;
    edit(limit - 2, last, "a", Qt::Key_Return);
    ASSERT_EQ(grid->rows(), limit + 1);
    EXPECT_EQ(grid->text(limit, 0), QString::number(limit));
    EXPECT_EQ(view->rowHeight(limit - 1), 20);
    expectIdleAt(limit - 1, 1);

    edit(limit - 1, last, "b", Qt::Key_Return);
    ASSERT_EQ(grid->rows(), limit + 2);
    EXPECT_EQ(grid->text(limit + 1, 0), QString::number(limit + 1));
    EXPECT_EQ(grid->text(limit - 2, last), "a");
    EXPECT_EQ(grid->text(limit - 1, last), "b");
    expectIdleAt(limit, 1);
}

TEST_P(GridViewTest, EnterOnTheRowLimitRowReportsAndDiscards) {
    const int limit = GetParam().rowLimit;
    const int last = GetParam().lastColumn;
    edit(limit - 1, last, "z", Qt::Key_Return);
    ASSERT_EQ(currentRow(), limit);

    for (int col : {1, last}) {
        SCOPED_TRACE(col);
        messages->clear();
        edit(limit, col, "5", Qt::Key_Return);
        ASSERT_EQ(messages->count(), 1);
        EXPECT_EQ(messages->at(0).at(0).toString(), GetParam().message);
        EXPECT_EQ(grid->text(limit, col), "");
        expectIdleAt(limit, col);
        EXPECT_EQ(grid->rows(), limit + 2);
    }
}

TEST_P(GridViewTest, InputMethodTextOpensTheBox) {
    for (const QString& composed : {QString::fromUtf8("é"), QString::fromUtf8("日本語")}) {
        SCOPED_TRACE(composed.toStdString());
        goTo(2, 3);
        QInputMethodEvent event;
        event.setCommitString(composed);
        QApplication::sendEvent(view.get(), &event);
        expectEditing(composed, int(composed.size()));
        press(box(), Qt::Key_Down);
        EXPECT_EQ(grid->text(2, 3), composed);
    }
}

TEST_P(GridViewTest, DoubleClickOpensTheBoxWithTheCellText) {
    grid->setText(3, 2, "abc");
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOf(3, 2));
    EXPECT_EQ(currentRow(), 3);
    EXPECT_EQ(currentCol(), 2);
    expectEditing("abc", 3);
}

TEST_P(GridViewTest, BoxStaysOverItsCellWhenTheViewScrollsOrResizes) {
    view->resize(300, 200);
    goTo(3, 2);
    typeOnGrid('q');
    // The box covers the part of the cell inside the viewport: a message column is wider than
    // this small view.
    const auto visiblePart = [this] {
        return view->visualRect(cell(3, 2)).intersected(view->viewport()->rect());
    };
    view->verticalScrollBar()->setValue(2);
    EXPECT_EQ(box()->geometry(), visiblePart());
    view->setColumnWidth(0, view->columnWidth(0) + 37);
    EXPECT_EQ(box()->geometry(), visiblePart());
    view->setRowHeight(2, 33);
    EXPECT_EQ(box()->geometry(), visiblePart());
    EXPECT_EQ(box()->text(), "q");
}

TEST_P(GridViewTest, ReloadingTheTableDropsAnOpenEdit) {
    goTo(2, 2);
    typeOnGrid('x');
    resetTable();
    EXPECT_FALSE(view->isEditing());
    EXPECT_FALSE(box()->isVisible());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(3, 3));
    EXPECT_EQ(grid->text(2, 2), "");
    EXPECT_EQ(grid->text(3, 3), "");
}

TEST_P(GridViewTest, CommitEditWritesThePendingText) {
    goTo(4, 2);
    typeOnGrid('m');
    view->commitEdit();
    EXPECT_EQ(grid->text(4, 2), "m");
    expectIdleAt(4, 2);
    view->commitEdit(); // nothing pending: no effect
    EXPECT_EQ(grid->text(4, 2), "m");
}

INSTANTIATE_TEST_SUITE_P(BothGrids, GridViewTest, ::testing::Values(kPlu, kIngred),
                         [](const ::testing::TestParamInfo<GridCase>& info) {
                             return std::string(info.param.label);
                         });

} // namespace
