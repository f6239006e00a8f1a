// The window around the grids' editing: the unsaved marks, the questions before unsaved edits
// are lost or bypassed (each with its three answers), "Change Prices...", and the window's
// size and place.

#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/GridView.h"
#include "app/PriceChangeDialog.h"
#include "app/TablePane.h"
#include "app/frmMain.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using Answer = SavePrompt::Answer;

class EditingWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        window.setExitFunction([this] { ++exits; });
        window.setPromptFunction([this](const SavePrompt& prompt) {
            prompts << prompt.text + " [" + prompt.saveCaption + "/" + prompt.discardCaption + "]";
            if (answers.empty())
                return Answer::Cancel;
            const Answer answer = answers.front();
            answers.pop_front();
            return answer;
        });
        window.findChild<FileDialog*>("dlgFile")->setChooser(
            [this](FileDialog::Mode, const QString&, const QString&) -> std::optional<QString> {
                ++dialogs;
                if (paths.empty())
                    return std::nullopt;
                const std::optional<QString> path = paths.front();
                paths.pop_front();
                return path;
            });
        grid = window.findChild<GridView*>("grdPLU");
        writeFile(path("shop.plu"), "1,0,\"Bread\",\" \",100,0,0,0,0\r\n");
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void trigger(const char* name) {
        window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    // An edit as the grid makes it: one undoable step.
    void editCell(GridView* view, int row, int col, const QString& text) {
        view->applyEdit(setCellsEdit(*view->grid(), {{row, col, QString(), text}}),
                        QStringLiteral("Typing"));
    }
    QString mark() const {
        return window.findChild<QLabel*>("lblUnsaved")->isVisibleTo(&window)
                   ? window.findChild<QLabel*>("lblUnsaved")->text()
                   : QString();
    }

    QTemporaryDir dir;
    frmMain window;
    GridView* grid = nullptr;
    int exits = 0;
    int dialogs = 0;
    QStringList prompts;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> paths;
};

TEST_F(EditingWindow, TitleAndMarkFollowEditsUndoSaveAndReplacement) {
    struct Seen {
        QString title;
        QString mark;
    };
    const auto seen = [this] { return Seen{window.windowTitle(), mark()}; };
    const auto expect = [&](const char* title, const char* markText, const char* step) {
        const Seen now = seen();
        EXPECT_EQ(now.title, QString::fromLatin1(title)) << step;
        EXPECT_EQ(now.mark, QString::fromLatin1(markText)) << step;
    };
    window.show();
    expect("ScaleDesk", "", "start");

    window.tabs()->setCurrentIndex(2);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 2));
    QTest::keyClick(grid, 'X');
    QTest::keyClick(grid->editBox(), Qt::Key_Return);
    expect("ScaleDesk - PLU*", "* not saved: PLU", "typed");
    EXPECT_EQ(window.sourcePath(), "?"); // the box holds the path alone
    grid->undo();
    expect("ScaleDesk", "", "undone");
    grid->redo();
    editCell(window.findChild<GridView*>("grdINGRED"), 1, 1, "7");
    expect("ScaleDesk - PLU* INGRED*", "* not saved: PLU, INGRED", "both");

    paths = {path("saved.plu")};
    trigger("mnuFileSave");
    expect("ScaleDesk - INGRED*", "* not saved: INGRED", "PLU saved");
    grid->undo();
    expect("ScaleDesk - PLU* INGRED*", "* not saved: PLU, INGRED", "undone after the save");
    grid->redo();
    expect("ScaleDesk - INGRED*", "* not saved: INGRED", "back to the saved state");

    // A table replaced while the line is in use (an upload) is in no file yet, and the edits
    // before it can no longer be undone.
    window.beginLineWork();
    window.pluTable().grid.setAll(window.pluTable().grid.all());
    window.endLineWork();
    expect("ScaleDesk - PLU* INGRED*", "* not saved: PLU, INGRED", "replaced by an upload");
    EXPECT_FALSE(window.historyOf(window.pluTable()).canUndo());
    // Replaced otherwise, by a command that says whether the new table is saved, the edits
    // before it are gone with their history.
    window.pluTable().reset();
    expect("ScaleDesk - INGRED*", "* not saved: INGRED", "reset");
    EXPECT_FALSE(window.historyOf(window.pluTable()).canUndo());
    EXPECT_TRUE(prompts.isEmpty());
}

// Every command that would drop unsaved edits asks first; each answer does what it says.
TEST_F(EditingWindow, NewOpenImportExitAndCloseAskFirst) {
    const QString workbook = QStringLiteral(SCALEDESK_TEST_DATA "/workbooks/plu-libreoffice.xls");
    enum class Command { New, Open, Import, Exit, Close };
    struct Case {
        Command command;
        Answer answer;
        bool saveDialogCancelled;
        bool goesOn; // the command did its work (table replaced, program ended)
    };
    const Case cases[] = {
        {Command::New, Answer::Save, false, true},
        {Command::New, Answer::Save, true, false},
        {Command::New, Answer::Discard, false, true},
        {Command::New, Answer::Cancel, false, false},
        {Command::Open, Answer::Save, false, true},
        {Command::Open, Answer::Discard, false, true},
        {Command::Open, Answer::Cancel, false, false},
        {Command::Import, Answer::Save, false, true},
        {Command::Import, Answer::Discard, false, true},
        {Command::Import, Answer::Cancel, false, false},
        {Command::Exit, Answer::Save, false, true},
        {Command::Exit, Answer::Save, true, false},
        {Command::Exit, Answer::Discard, false, true},
        {Command::Exit, Answer::Cancel, false, false},
        {Command::Close, Answer::Save, false, true},
        {Command::Close, Answer::Discard, false, true},
        {Command::Close, Answer::Cancel, false, false},
    };
    window.show();
    int step = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << step);
        const QString saved = dir.filePath(QStringLiteral("saved%1.plu").arg(step++));
        answers = {Answer::Discard}; // a clean start, whatever the case before left
        trigger("mnuFileNew");
        editCell(grid, 1, 1, "42");
        prompts.clear();
        exits = 0;
        dialogs = 0;
        answers = {c.answer};
        paths.clear();
        if (c.answer == Answer::Save)
            paths.push_back(c.saveDialogCancelled ? std::nullopt : std::optional(saved));
        if (c.command == Command::Open)
            paths.push_back(path("shop.plu"));
        if (c.command == Command::Import)
            paths.push_back(workbook);

        bool closed = false;
        switch (c.command) {
        case Command::New:
            trigger("mnuFileNew");
            break;
        case Command::Open:
            trigger("mnuFileOpen");
            break;
        case Command::Import:
            trigger("mnuLxls");
            break;
        case Command::Exit:
            trigger("mnuFileExit");
            break;
        case Command::Close:
            closed = window.close();
            break;
        }

        EXPECT_EQ(prompts, QStringList{"Save changes to the PLU table? [Save/Discard]"});
        const bool written = c.answer == Answer::Save && !c.saveDialogCancelled;
        EXPECT_EQ(QFile::exists(saved), written);
        if (written) {
            EXPECT_TRUE(readFile(saved).startsWith("42,0,\" \",\" \",0,0,0,0,0\r\n"));
        }
        const QString cell = window.pluTable().grid.text(1, 1);
        switch (c.command) {
        case Command::New:
            EXPECT_EQ(cell, c.goesOn ? "" : "42");
            break;
        case Command::Open:
            EXPECT_EQ(cell, c.goesOn ? "1" : "42");
            EXPECT_EQ(window.sourcePath(), c.goesOn ? path("shop.plu") : (written ? saved : "?"));
            break;
        case Command::Import:
            EXPECT_EQ(window.sourcePath() == workbook, c.goesOn);
            break;
        case Command::Exit:
        case Command::Close:
            EXPECT_EQ(exits, c.goesOn ? 1 : 0);
            EXPECT_EQ(closed, c.goesOn && c.command == Command::Close);
            window.show();
            break;
        }
        if (c.answer == Answer::Cancel) {
            EXPECT_EQ(dialogs, 0);
        }
        // Whatever happened, the table is now as saved or as opened, or still unsaved.
        EXPECT_EQ(window.historyOf(window.pluTable()).unsaved(),
                  !written &&
                      !(c.goesOn && c.command != Command::Exit && c.command != Command::Close));
    }

    // The ingredient table asks in its own words, and only about itself.
    editCell(window.findChild<GridView*>("grdINGRED"), 1, 2, "Salt");
    prompts.clear();
    answers = {Answer::Discard};
    trigger("mnuFileNew1");
    EXPECT_EQ(prompts, QStringList{"Save changes to the ingredient messages? [Save/Discard]"});
    EXPECT_EQ(window.ingredTable().grid.text(1, 2), "");
}

TEST_F(EditingWindow, DownloadOfUnsavedEditsSavesAndSendsOrSendsTheLastSaved) {
    ManualClock clock;
    window.setClock(clock);
    SimulatedScale& scale = embeddedScale();
    scale.clearFaults();
    window.findChild<QComboBox*>("cboComOther")->setEditText("sim");
    window.findChild<QRadioButton*>("optComOther")->setChecked(true);
    window.cmdPortOpen_Click();
    window.findChild<QRadioButton*>("optDownAllPLU")->setChecked(true);

    struct Case {
        Answer answer;
        bool saveDialogCancelled;
        int sentPrice; // 0: nothing sent
    };
    const Case cases[] = {
        {Answer::Save, false, 250},
        {Answer::Save, true, 0},
        {Answer::Discard, false, 100},
        {Answer::Cancel, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.answer));
        paths = {path("shop.plu")};
        answers = {Answer::Discard}; // what the case before left unsaved
        trigger("mnuFileOpen");
        editCell(grid, 1, 5, "250");
        scale.clearPlus();
        prompts.clear();
        answers = {c.answer};
        if (c.answer == Answer::Save)
            paths = {c.saveDialogCancelled ? std::nullopt : std::optional(path("sent.plu"))};
        window.showStatus("before");
        Q_EMIT window.pluPane().downloadRequested();

        EXPECT_EQ(prompts, QStringList{"The PLU table has changes that are not saved. Save them "
                                       "and send them, or send the table as last saved? "
                                       "[Save and Send/Send Last Saved]"});
        if (c.sentPrice == 0) {
            EXPECT_TRUE(scale.pluNumbers().isEmpty());
            continue;
        }
        EXPECT_EQ(window.statusText(), " THE END ");
        const std::optional<QByteArray> sent = scale.pluRecord(1);
        ASSERT_TRUE(sent);
        EXPECT_EQ(plu_wire::decode(*sent).record.UnitPrice, c.sentPrice);
    }
    EXPECT_EQ(readFile(path("sent.plu")), "1,0,\"Bread\",\" \",250,0,0,0,0\r\n");
    window.cmdPortClose_Click();
}

TEST_F(EditingWindow, PriceChangeIsPreviewedAppliedToTheSelectedRowsAndUndone) {
    const QStringList prices{"1990", "2000", "abc", "", "500"};
    for (int row = 1; row <= prices.size(); ++row) {
        window.pluTable().grid.setText(row, 1, QString::number(row));
        window.pluTable().grid.setText(row, 5, prices[row - 1]);
    }
    QStringList preview;
    QString problem;
    window.setPriceChangeFunction([&](PriceChangeDialog& dialog) -> std::optional<PriceChange> {
        dialog.byBox()->setText("10");
        dialog.roundingBox()->setCurrentText("to 9 at the end");
        problem = dialog.problem();
        for (int r = 0; r < dialog.previewTable()->rowCount(); ++r)
            preview << dialog.previewTable()->item(r, 3)->text() + ">" +
                           dialog.previewTable()->item(r, 4)->text();
        return dialog.applyButton()->isEnabled() ? dialog.change() : std::nullopt;
    });

    // Rows 1 and 2 selected: raised by 10 %, rounded to end in 9.
    grid->selectBlock(1, 1, 2, 3);
    window.findChild<QAction*>("grdPLUChangePrices")->trigger();
    EXPECT_EQ(preview, (QStringList{"1990>2189", "2000>2199"}));
    EXPECT_EQ(window.pluTable().grid.text(1, 5), "2189");
    EXPECT_EQ(window.pluTable().grid.text(2, 5), "2199");
    EXPECT_EQ(window.historyOf(window.pluTable()).undoText(), "Change Prices");

    // A row whose price is not a number is shown, and nothing changes.
    preview.clear();
    grid->selectBlock(2, 1, 4, 1);
    window.changePrices(window.pluPane());
    EXPECT_EQ(preview, (QStringList{"2199>2419", "abc>\"abc\" is not a number", "500>549"}));
    EXPECT_EQ(problem, "Row 3: \"abc\" is not a number");
    EXPECT_EQ(window.pluTable().grid.text(5, 5), "500");

    grid->undo();
    EXPECT_EQ(window.pluTable().grid.text(1, 5), "1990");
    EXPECT_EQ(window.pluTable().grid.text(2, 5), "2000");
    EXPECT_FALSE(window.findChild<QAction*>("grdINGREDChangePrices")->isVisible());
}

TEST_F(EditingWindow, ShowsEveryColumnOnA1280By800ScreenAndRemembersItsPlace) {
    const QSize size = window.fittingSize(QSize(1280, 800));
    EXPECT_LE(size.width(), 1280);
    EXPECT_LE(size.height(), 800);
    window.resize(size);
    window.show();
    for (int tab : {2, 5}) {
        window.tabs()->setCurrentIndex(tab);
        QApplication::processEvents();
        auto* view =
            qobject_cast<GridView*>(window.tabs()->currentWidget()->findChild<GridView*>());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0) << view->objectName().toStdString();
    }
    // A small screen gets a window that fits it.
    EXPECT_LE(window.fittingSize(QSize(800, 600)).width(), 800);

    QSettings settings(dir.filePath("placement.ini"), QSettings::IniFormat);
    window.resize(700, 500); // within the test screen, which a restored window is kept on
    window.savePlacement(settings);
    frmMain again;
    again.restorePlacement(settings);
    EXPECT_EQ(again.size(), QSize(700, 500));
}

TEST_F(EditingWindow, FindBarOpensWithCtrlFFindsWithEnterAndClosesWithEscape) {
    window.pluTable().grid.setText(4, 3, "Roggenbrot");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.tabs()->setCurrentIndex(2);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    auto* box = window.findChild<QLineEdit*>("txtFindPLU");
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), box);
    QTest::keyClicks(box, "roggen");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(3, 2));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), grid);
}

} // namespace
