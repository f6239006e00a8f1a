#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/GridView.h"
#include "app/frmMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

namespace {

struct DialogCall {
    FileDialog::Mode mode;
    QString filter;
    QString startPath;
};

// Answers the window's file dialog with prepared paths (nothing = Cancel) and notes each call.
class FileMenu : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        dialog = window.findChild<FileDialog*>(QStringLiteral("dlgFile"));
        ASSERT_NE(dialog, nullptr);
        dialog->setChooser([this](FileDialog::Mode mode, const QString& filter,
                                  const QString& startPath) -> std::optional<QString> {
            calls.push_back({mode, filter, startPath});
            if (answers.empty())
                return std::nullopt;
            const std::optional<QString> answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }

    void trigger(const char* action) {
        QAction* item = window.findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    static void writeAll(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    frmMain window;
    FileDialog* dialog = nullptr;
    std::deque<std::optional<QString>> answers;
    std::vector<DialogCall> calls;
};

TEST_F(FileMenu, PluOpenFillsTheGridAndSetsTheSource) {
    writeAll(path("shop.plu"), "1,0,\"A\",\" \",100,0,0,0,0\r\n2,0,\"B\",\" \",200,0,0,0,0\r\n");
    answers = {path("shop.plu")};
    trigger("mnuFileOpen");

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].mode, FileDialog::Mode::Open);
    EXPECT_EQ(calls[0].filter, QStringLiteral("PLU file (*.plu *.PLU)"));
    EXPECT_EQ(window.statusText(), QStringLiteral("PLU Count is 2"));
    EXPECT_EQ(window.sourcePath(), path("shop.plu"));
    EXPECT_EQ(window.pluTable().count, 2);
    auto* grid = window.findChild<GridView*>(QStringLiteral("grdPLU"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->index(1, 2).data().toString(), QStringLiteral("B"));

    trigger("mnuFileNew");
    EXPECT_EQ(window.statusText(), QStringLiteral("PLU Count is 0"));
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?"));
    EXPECT_EQ(window.pluTable().count, 0);
    EXPECT_TRUE(grid->model()->index(1, 2).data().toString().isEmpty());
}

TEST_F(FileMenu, FailedOrCancelledOpenKeepsTableAndSource) {
    writeAll(path("good.plu"), "1,0,\"A\",\" \",100,0,0,0,0\r\n");
    writeAll(path("prices.plu"), "1,0,\"A\",\" \",100,0,abc,0,0\r\n");
    answers = {path("good.plu"), path("prices.plu"), std::nullopt};
    trigger("mnuFileOpen");
    window.pluTable().grid.setText(1, 3, QStringLiteral("edited"));

    trigger("mnuFileOpen");
    EXPECT_EQ(window.statusText(),
              QStringLiteral("Cannot open \"%1\": line 1, Tare: \"abc\" is not a number")
                  .arg(path("prices.plu")));
    EXPECT_EQ(window.sourcePath(), path("good.plu"));
    EXPECT_EQ(window.pluTable().grid.text(1, 3), QStringLiteral("edited"));
    EXPECT_EQ(window.pluTable().count, 1);

    window.showStatus(QStringLiteral("before"));
    trigger("mnuFileOpen"); // cancelled
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_EQ(window.statusText(), QStringLiteral("before"));
    EXPECT_EQ(window.sourcePath(), path("good.plu"));
}

TEST_F(FileMenu, PluSaveCopiesThenWrites) {
    TextGrid& grid = window.pluTable().grid;
    grid.setText(1, 1, QStringLiteral("1"));
    grid.setText(1, 3, QStringLiteral("A"));
    grid.setText(1, 5, QStringLiteral("100"));
    answers = {path("out.plu")};
    trigger("mnuFileSave");

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].mode, FileDialog::Mode::Save);
    EXPECT_EQ(calls[0].filter, QStringLiteral("PLU file (*.plu *.PLU)"));
    EXPECT_EQ(readAll(path("out.plu")), QByteArray("1,0,\"A\",\" \",100,0,0,0,0\r\n"));
    EXPECT_EQ(window.statusText(), QStringLiteral("PLU Count is 1"));
    EXPECT_EQ(window.sourcePath(), path("out.plu"));
    EXPECT_EQ(grid.text(1, 9), QStringLiteral("0"));
}

TEST_F(FileMenu, RefusedCopyOpensNoDialogAndCancelledSaveWritesNothing) {
    TextGrid& grid = window.pluTable().grid;
    grid.setText(1, 1, QStringLiteral("1"));
    grid.setText(1, 5, QStringLiteral("1,50"));
    answers = {path("never.plu")};
    trigger("mnuFileSave");
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(window.statusText(),
              QStringLiteral("Cannot save: row 1, U/Price: \"1,50\" is not a number"));
    EXPECT_FALSE(QFile::exists(path("never.plu")));
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?"));

    // Cancelled: the grid has been copied, but nothing is written and nothing is said.
    grid.setText(1, 5, QStringLiteral("150"));
    answers = {std::nullopt};
    window.showStatus(QStringLiteral("before"));
    trigger("mnuFileSave");
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(window.pluTable().count, 1);
    EXPECT_EQ(window.pluTable().records[1].UnitPrice, 150);
    EXPECT_EQ(window.statusText(), QStringLiteral("before"));
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?"));

    // A save that fails names the file and keeps the source.
    answers = {path("no-folder/x.plu")};
    trigger("mnuFileSave");
    EXPECT_TRUE(window.statusText().startsWith(
        QStringLiteral("Cannot save \"%1\": ").arg(path("no-folder/x.plu"))));
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?"));
}

TEST_F(FileMenu, IngredCommandsUseTheirFilterAndTexts) {
    TextGrid& grid = window.ingredTable().grid;
    grid.setText(1, 1, QStringLiteral("7"));
    grid.setText(1, 2, QStringLiteral("A"));
    answers = {path("m.ingred"), path("m.ingred")};
    trigger("mnuFileSave1");
    EXPECT_EQ(calls.at(0).filter, QStringLiteral("INGRED file (*.ingred *.INGRED)"));
    EXPECT_EQ(readAll(path("m.ingred")), QByteArray("7,\"A\",\" \",\" \",\" \"\r\n"));
    EXPECT_EQ(window.statusText(), QStringLiteral("INGRED Count is 1"));

    trigger("mnuFileNew1");
    EXPECT_EQ(window.statusText(), QStringLiteral("Message Count is 0"));
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?"));
    EXPECT_TRUE(grid.text(1, 2).isEmpty());

    trigger("mnuFileOpen1");
    EXPECT_EQ(calls.at(1).mode, FileDialog::Mode::Open);
    EXPECT_EQ(calls.at(1).filter, QStringLiteral("INGRED file (*.ingred *.INGRED)"));
    EXPECT_EQ(window.statusText(), QStringLiteral("Message Count is 1"));
    EXPECT_EQ(grid.text(1, 3), QStringLiteral(" "));
    EXPECT_EQ(window.sourcePath(), path("m.ingred"));
}

// `scaledesk FILE`: the extension (in any case) chooses the table and its tab, no dialog
// opens, and unsaved edits are asked about first, as Open asks.
TEST_F(FileMenu, OpenByPathChoosesTheTableByItsExtensionAndAsksFirst) {
    writeAll(path("shop.PLU"), "1,0,\"A\",\" \",100,0,0,0,0\r\n");
    writeAll(path("m.ingred"), "7,\"A\",\" \",\" \",\" \"\r\n");
    writeAll(path("notes.txt"), "1,0,\"A\",\" \",100,0,0,0,0\r\n");
    const struct {
        const char* file;
        const char* tab;
        QString status;
    } cases[] = {
        {"shop.PLU", "PLU", QStringLiteral("PLU Count is 1")},
        {"m.ingred", "INGRED", QStringLiteral("Message Count is 1")},
        {"notes.txt", "INGRED",
         QStringLiteral("Cannot open \"%1\": ScaleDesk opens PLU files (.plu) and ingredient "
                        "message files (.ingred)")
             .arg(QDir::toNativeSeparators(path("notes.txt")))},
    };
    for (const auto& c : cases) {
        window.openPath(path(c.file));
        EXPECT_EQ(window.statusText(), c.status) << c.file;
        EXPECT_EQ(window.tabs()->tabText(window.tabs()->currentIndex()), c.tab) << c.file;
    }
    EXPECT_EQ(window.sourcePath(), path("m.ingred"));
    EXPECT_TRUE(calls.empty());

    std::vector<QString> asked;
    SavePrompt::Answer answer = SavePrompt::Answer::Cancel;
    window.setPromptFunction([&](const SavePrompt& prompt) {
        asked.push_back(prompt.text);
        return answer;
    });
    window.pluTable().grid.setText(1, 3, QStringLiteral("edited"));
    window.historyOf(window.pluTable()).markUnsaved(); // as the grid's editing does
    window.openPath(path("shop.PLU"));
    EXPECT_EQ(window.pluTable().grid.text(1, 3), QStringLiteral("edited"));
    answer = SavePrompt::Answer::Discard;
    window.openPath(path("shop.PLU"));
    EXPECT_EQ(window.pluTable().grid.text(1, 3), QStringLiteral("A"));
    EXPECT_EQ(asked, (std::vector<QString>(2, QStringLiteral("Save changes to the PLU table?"))));
    EXPECT_EQ(window.sourcePath(), path("shop.PLU"));
}

TEST_F(FileMenu, TheDialogStartsWhereTheLastFileWas) {
    writeAll(path("a.plu"), QByteArray());
    answers = {path("a.plu"), std::nullopt, std::nullopt};
    trigger("mnuFileOpen");
    trigger("mnuFileSave"); // cancelled: the remembered path stays
    trigger("mnuFileOpen1");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_TRUE(calls[0].startPath.isEmpty());
    EXPECT_EQ(calls[1].startPath, path("a.plu"));
    // The ingredient dialog starts in the folder without offering the PLU file's name.
    EXPECT_EQ(calls[2].startPath, dir.path());
    EXPECT_EQ(dialog->lastPath(), path("a.plu"));
}

} // namespace
