// "Upload" in the window, against the built-in simulated scale on a manual clock.

#include "app/EditHistory.h"
#include "app/frmMain.h"
#include "protocol/FaultSpec.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "support/WindowOnSimulatedScale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The window opened on the simulated scale (it holds the sample PLUs 1 to 5), with a manual
// clock.
class PluUpload : public WindowOnSimulatedScale {
protected:
    void choose(const char* option) {
        window.findChild<QRadioButton*>(QString::fromLatin1(option))->setChecked(true);
    }
    void clickUpload() { QTest::mouseClick(button("cmdPLUUpload"), Qt::LeftButton); }
    QString cell(int row, int col) { return window.pluTable().grid.text(row, col); }
};

} // namespace

TEST_F(PluUpload, CancelEndsTheUploadAndListsWhatCame) {
    choose("optUpAllPLU");
    withFault("silence@3");
    clock.setOnWait([this](qint64) {
        if (window.statusText() == QStringLiteral("plu#2 is received"))
            QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    });
    clickUpload();
    EXPECT_EQ(window.statusText(), QStringLiteral("Transfer cancelled"));
    EXPECT_EQ(window.pluTable().count, 2);
    EXPECT_EQ(cell(2, 3).trimmed(), QStringLiteral("Bread"));
    EXPECT_EQ(cell(3, 1), QString());
    EXPECT_TRUE(window.tabs()->isEnabled());
}

// "Compare" reads the scale into records of its own and lists what differs; "Back up the scale
// first" that cannot write its file asks before sending, and "No" sends nothing; "Verify"
// reads the sent PLUs back.
TEST_F(PluUpload, CompareBackupAndVerifyLeaveTheOperatorInCharge) {
    choose("optUpAllPLU");
    clickUpload(); // the table now holds what the scale holds
    PluTable& table = window.pluTable();
    const PluRecord original = table.records[2];
    table.records[2].UnitPrice += 1;
    const PluRecord changed = table.records[2];

    QTest::mouseClick(button("cmdPLUCompare"), Qt::LeftButton);
    EXPECT_EQ(window.statusText(), QStringLiteral("Compare: 1 differences"));
    auto* dialog = window.findChild<QDialog*>(QStringLiteral("frmCompare"));
    ASSERT_TRUE(dialog && dialog->isVisible());
    auto* rows = dialog->findChild<QTableWidget*>(QStringLiteral("grdDifferences"));
    ASSERT_EQ(rows->rowCount(), 1);
    EXPECT_EQ(rows->item(0, 1)->text(), QStringLiteral("U/Price"));
    EXPECT_EQ(table.records[2], changed); // the operator's table is untouched

    QTemporaryFile notAFolder;
    ASSERT_TRUE(notAFolder.open());
    window.setBackupFolder(notAFolder.fileName());
    QStringList asked;
    window.setConfirmFunction([&asked](const QString& question) {
        asked.append(question);
        return false;
    });
    window.setSourcePath(QStringLiteral("/shop.plu"));
    window.setPromptFunction([](const SavePrompt&) { return SavePrompt::Answer::Discard; });
    window.findChild<QRadioButton*>(QStringLiteral("optDownAllPLU"))->setChecked(true);
    window.findChild<QCheckBox*>(QStringLiteral("chkDownBackupPLU"))->setChecked(true);
    QTest::mouseClick(button("cmdPLUDownload"), Qt::LeftButton);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(window.statusText().startsWith(QStringLiteral("Backup failed: ")));
    EXPECT_EQ(plu_wire::decode(*scale().pluRecord(2)).record.UnitPrice, original.UnitPrice);

    window.findChild<QCheckBox*>(QStringLiteral("chkDownBackupPLU"))->setChecked(false);
    window.findChild<QCheckBox*>(QStringLiteral("chkDownVerifyPLU"))->setChecked(true);
    QTest::mouseClick(button("cmdPLUDownload"), Qt::LeftButton);
    EXPECT_EQ(window.statusText(), QStringLiteral("Verify: 5 PLUs match the table"));
    EXPECT_EQ(plu_wire::decode(*scale().pluRecord(2)).record.UnitPrice, original.UnitPrice + 1);
    scale().storePlu(original); // the samples as the other cases expect them
}

// After an upload no table has been saved, so a download has nothing it could send instead
// of unsaved edits: it refuses at once, without offering "Send Last Saved".
TEST_F(PluUpload, DownloadsAfterAnUploadRefuseBeforeAnyQuestion) {
    choose("optUpAllPLU");
    clickUpload();
    ASSERT_TRUE(window.historyOf(window.pluTable()).unsaved()); // it came from the scale
    window.historyOf(window.ingredTable()).markUnsaved();       // as after an edit
    QStringList asked;
    window.setPromptFunction([&asked](const SavePrompt& prompt) {
        asked.append(prompt.text);
        return SavePrompt::Answer::Discard;
    });
    const struct {
        const char* button;
        QString refusal;
    } downloads[] = {{"cmdPLUDownload", QStringLiteral("ERROR! select plu files")},
                     {"cmdINGREDDownload", QStringLiteral("ERROR! select Ingred files")}};
    for (const auto& download : downloads) {
        const int exchanges = scale().exchanges();
        QTest::mouseClick(button(download.button), Qt::LeftButton);
        EXPECT_EQ(window.statusText(), download.refusal);
        EXPECT_TRUE(asked.isEmpty()) << asked.join(' ').toStdString();
        EXPECT_EQ(scale().exchanges(), exchanges);
        EXPECT_TRUE(window.tabs()->isEnabled());
    }
}
