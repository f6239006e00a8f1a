// View > "Send history": the rows the window's journal recorded, filtered, saved as the file
// scalectl writes, and the choice of the journal itself.

#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "journal/Journal.h"
#include "support/DatedJournal.h"
#include "support/ScalectlProcess.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SendHistory : public ::testing::Test {
protected:
    // Deli gets PLU 1 to 3 on May 1, the meat counter PLU 2 on May 2.
    void SetUp() override {
        using sample::pluRow;
        const QDateTime may1(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC);
        ASSERT_EQ(
            sample::writeDatedJournal(
                path,
                {{may1,
                  sample::pluRun("download", "Deli"),
                  {pluRow(1, 100), pluRow(2, 200), pluRow(3, 300)}},
                 {may1.addDays(1), sample::pluRun("download", "Meat counter"), {pluRow(2, 200)}}}),
            QString());
        window.setJournalPath(path);
        window.findChild<FileDialog*>(QStringLiteral("dlgFile"))
            ->setChooser(
                [this](FileDialog::Mode, const QString&, const QString&) { return answer; });
        window.findChild<QAction*>(QStringLiteral("mnuViewSendHistory"))->trigger();
        dialog = window.findChild<QDialog*>(QStringLiteral("frmSendHistory"));
        ASSERT_NE(dialog, nullptr);
    }

    template <typename Widget> Widget* child(const char* name) const {
        return dialog->findChild<Widget*>(QLatin1String(name));
    }
    void click(const char* button) const { child<QPushButton>(button)->click(); }
    QString status() const { return child<QLabel>("lblHistoryStatus")->text(); }

    // The listed rows' scale and number: "Deli 3".
    QStringList listed() const {
        const QAbstractItemModel* model = child<QTableView>("grdHistory")->model();
        QStringList rows;
        for (int row = 0; row < model->rowCount(); ++row)
            rows.append(model->index(row, 1).data().toString() + u' ' +
                        model->index(row, 4).data().toString());
        return rows;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    frmMain window;
    std::optional<QString> answer; // what the file dialog answers
    QDialog* dialog = nullptr;
};

} // namespace

TEST_F(SendHistory, ListsTheNewestFirstByScalePluAndPeriod) {
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(child<QLineEdit>("txtJournalPath")->text(), path);
    EXPECT_EQ(listed(), (QStringList{"Meat counter 2", "Deli 3", "Deli 2", "Deli 1"}));
    EXPECT_EQ(status(), QStringLiteral("4 rows sent."));
    QComboBox* scales = child<QComboBox>("cboHistoryScale");
    ASSERT_EQ(scales->count(), 3);
    EXPECT_EQ(scales->itemText(2), QStringLiteral("Meat counter"));

    const struct {
        const char* scale;
        const char* plu;
        const char* since;
        const char* until;
        QStringList rows;
        QString status;
        bool refused; // the filters: the list stays as it was
    } cases[] = {
        {"Deli", "", "", "", {"Deli 3", "Deli 2", "Deli 1"}, "3 rows sent.", false},
        {"All scales", "2", "", "", {"Meat counter 2", "Deli 2"}, "2 rows sent.", false},
        {"Deli", "2", "", "", {"Deli 2"}, "1 row sent.", false},
        {"All scales", "", "2024-05-02", "", {"Meat counter 2"}, "1 row sent.", false},
        {"All scales", "", "", "2024-05-01T09:00:03Z", {"Deli 2", "Deli 1"}, "2 rows sent.", false},
        {"Bakery", "", "", "", {}, "0 rows sent.", false},
        {"All scales", "601", "", "", {}, "PLU: \"601\" is not a PLU number (1 to 600)", true},
        {"All scales",
         "",
         "May 1",
         "",
         {},
         "Since: \"May 1\" is not a date or time: give it as 2024-05-01 or 2024-05-01T09:30:00Z "
         "(UTC)",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status.toStdString());
        const QStringList before = listed();
        scales->setCurrentText(QLatin1String(c.scale));
        child<QLineEdit>("txtHistoryPlu")->setText(QLatin1String(c.plu));
        child<QLineEdit>("txtHistorySince")->setText(QLatin1String(c.since));
        child<QLineEdit>("txtHistoryUntil")->setText(QLatin1String(c.until));
        click("cmdHistoryShow");
        EXPECT_EQ(listed(), c.refused ? before : c.rows);
        EXPECT_EQ(status(), c.status);
    }
}

// "Save as CSV..." writes every row that matches, oldest first, as scalectl journal does; a
// long list in pieces, the window going on in between.
TEST_F(SendHistory, SavesTheFileScalectlWrites) {
    QList<journal::RowEntry> many;
    for (int n = 1; n <= 2500; ++n)
        many.append(sample::pluRow(n % 600 + 1, n));
    QString error;
    std::unique_ptr<journal::Journal> journal = journal::Journal::open(path, &error);
    ASSERT_EQ(sample::record(*journal, sample::pluRun("download", "Deli"), many), QString());

    child<QComboBox>("cboHistoryScale")->setCurrentText(QStringLiteral("Deli"));
    answer = dir.filePath(QStringLiteral("deli.csv"));
    click("cmdHistorySaveCsv");
    EXPECT_EQ(status(), QStringLiteral("Saving: 1000 rows written..."));
    EXPECT_FALSE(child<QPushButton>("cmdHistorySaveCsv")->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([this] { return status().startsWith(QLatin1String("Send")); }));
    EXPECT_EQ(status(), "Send history saved to " + *answer);
    EXPECT_EQ(window.statusText(), status());
    EXPECT_TRUE(child<QPushButton>("cmdHistorySaveCsv")->isEnabled());
    QProcess scalectl;
    scalectl.start(SCALECTL_PATH,
                   {"journal", "--scale", "Deli", "--format", "csv", "--journal", path});
    ASSERT_TRUE(scalectl.waitForFinished());
    const QByteArray expected = scalectl.readAllStandardOutput();
    EXPECT_EQ(expected.count("\r\n"), 1 + 3 + 2500);
    EXPECT_EQ(scalectl_process::readFile(*answer), expected);
}

// Another journal becomes the window's only when the window can record in it.
TEST_F(SendHistory, ChangesTheJournalOnlyToOneItCanRecordIn) {
    answer = dir.filePath(QStringLiteral("prices.plu"));
    ASSERT_TRUE(scalectl_process::writeFile(*answer, "1,11,\"Pear\",\" \",150,0,0,0,0\r\n"));
    click("cmdJournalChange");
    EXPECT_EQ(status(), "journal " + *answer + ": file is not a database");
    EXPECT_EQ(window.journalPath(), path);

    answer = dir.filePath(QStringLiteral("other.sqlite"));
    click("cmdJournalChange");
    EXPECT_EQ(window.journalPath(), *answer);
    EXPECT_EQ(child<QLineEdit>("txtJournalPath")->text(), *answer);
    EXPECT_EQ(listed(), QStringList());
    EXPECT_EQ(status(), QStringLiteral("0 rows sent."));
}
