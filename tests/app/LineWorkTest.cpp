// The window while the line is in use: the menu commands that stay, closing the window, and
// the port buttons after a port that vanished between two rows.

#include "app/PortComboBox.h"
#include "app/StatusBar.h"
#include "app/frmMain.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

enum class Work { PluDownload, IngredDownload, PluUpload, DisplayRead };

const char* buttonOf(Work work) {
    switch (work) {
    case Work::PluDownload:
        return "cmdPLUDownload";
    case Work::IngredDownload:
        return "cmdINGREDDownload";
    case Work::PluUpload:
        return "cmdPLUUpload";
    case Work::DisplayRead:
        return "cmdVFDUpdate";
    }
    return "";
}

const QStringList kFileCommands{"mnuFileNew",   "mnuFileOpen", "mnuLxls",      "mnuFileSave",
                                "mnuXls",       "mnuFileNew1", "mnuFileOpen1", "mnuLxls1",
                                "mnuFileSave1", "mnuLxls2"};
const QStringList kAlwaysThere{"mnuFileExit", "mnuFileExit1", "mnuAbout"};

// A simulated scale whose port is gone after the first open: a reopen between rows fails
// without the link ever reporting a failure, as when an adapter is unplugged between rows.
class VanishingLink : public SimLink {
public:
    using SimLink::SimLink;
    async::Task<bool> open() override {
        if (opens_++ > 0)
            co_return false;
        const bool opened = co_await SimLink::open();
        co_return opened;
    }
    QString errorString() const override {
        return QStringLiteral("/dev/ttyUSB7: No such file or directory");
    }

private:
    int opens_ = 0;
};

class LineWork : public ::testing::TestWithParam<Work> {
protected:
    void SetUp() override {
        scale().clearFaults();
        scale().clearPlus();
        for (int i = 1; i <= 3; ++i)
            scale().storePlu(
                PluRecord{qint16(i), i, QStringLiteral("Kept"), QString(), i, 1, 0, 0, 0});
        window.setClock(clock);
        window.setExitFunction([this] { ++exits; });
        openPort(QStringLiteral("sim"));

        // The operator's work, which nothing during the transfer may touch.
        PluTable& plu = window.pluTable();
        for (int i = 1; i <= 3; ++i)
            plu.records[i] = {qint16(i), i, QStringLiteral("Item"), QString(), 10 * i, 1, 0, 0, 0};
        plu.count = 3;
        plu.grid.setText(1, 3, QStringLiteral("unsaved"));
        IngredTable& ingred = window.ingredTable();
        ingred.records[1].MessageNo = 1;
        ingred.count = 1;
        ingred.grid.setText(1, 1, QStringLiteral("unsaved"));
        window.setSourcePath(QStringLiteral("/data/shop.plu"));
        for (const char* option : {"optDownAllPLU", "optDownAllINGRED", "optUpAllPLU"})
            window.findChild<QRadioButton*>(QString::fromLatin1(option))->setChecked(true);
    }
    void TearDown() override { scale().clearFaults(); }

    static SimulatedScale& scale() { return embeddedScale(); }
    QAction* action(const QString& name) { return window.findChild<QAction*>(name); }
    QPushButton* button(const char* name) {
        return window.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void openPort(const QString& port) {
        window.findChild<PortComboBox*>(QStringLiteral("cboComOther"))->setEditText(port);
        window.findChild<QRadioButton*>(QStringLiteral("optComOther"))->setChecked(true);
        QTest::mouseClick(button("cmdPortOpen"), Qt::LeftButton);
        ASSERT_EQ(window.statusText(), QStringLiteral("open port ") + port);
    }
    QStringList enabledOf(const QStringList& names) {
        QStringList enabled;
        for (const QString& name : names)
            if (action(name)->isEnabled())
                enabled << name;
        return enabled;
    }

    ManualClock clock;
    frmMain window;
    int exits = 0;
};

TEST_P(LineWork, TablesAndFilesAreOutOfReachUntilItEnds) {
    const Work work = GetParam();
    int waits = 0;
    QStringList enabledDuring;
    bool operatorsTablesIntact = true;
    bool gridShowsOperatorsTable = true;
    int uploadedRowsSeen = 0;
    clock.setOnWait([&](qint64) {
        if (waits++ == 0) {
            enabledDuring = enabledOf(kFileCommands + kAlwaysThere);
            action(QStringLiteral("mnuFileNew"))->trigger(); // would empty the tables
            action(QStringLiteral("mnuFileNew1"))->trigger();
        }
        operatorsTablesIntact &= window.pluTable().grid.text(1, 3) == QStringLiteral("unsaved") &&
                                 window.ingredTable().grid.text(1, 1) == QStringLiteral("unsaved");
        auto* shown = window.findChild<QAbstractItemView*>(QStringLiteral("grdPLU"))->model();
        gridShowsOperatorsTable &= shown == &window.pluTable().grid;
        int rows = 0;
        while (rows < 3 && shown->index(rows, 2).data().toString().trimmed() == "Kept")
            ++rows;
        uploadedRowsSeen = qMax(uploadedRowsSeen, rows);
    });
    QTest::mouseClick(button(buttonOf(work)), Qt::LeftButton);

    EXPECT_GT(waits, 1);
    EXPECT_EQ(enabledDuring, kAlwaysThere);
    EXPECT_EQ(enabledOf(kFileCommands), kFileCommands);
    EXPECT_TRUE(operatorsTablesIntact);
    // The upload fills a table of its own, shown as it fills; the operator's is replaced at
    // the end.
    EXPECT_EQ(gridShowsOperatorsTable, work != Work::PluUpload);
    EXPECT_EQ(uploadedRowsSeen, work == Work::PluUpload ? 3 : 0); // shown as they came
    EXPECT_EQ(window.findChild<QAbstractItemView*>(QStringLiteral("grdPLU"))->model(),
              &window.pluTable().grid);
    EXPECT_EQ(window.pluTable().grid.text(1, 3) == QStringLiteral("unsaved"),
              work != Work::PluUpload);
    EXPECT_EQ(window.ingredTable().grid.text(1, 1), QStringLiteral("unsaved"));
}

TEST_P(LineWork, ClosingTheWindowActsAsExit) {
    const int exchangesBefore = scale().exchanges();
    int exchangesAtClose = -1;
    clock.setOnWait([&](qint64) {
        if (exchangesAtClose < 0) {
            exchangesAtClose = scale().exchanges();
            window.close();
        }
    });
    QTest::mouseClick(button(buttonOf(GetParam())), Qt::LeftButton);

    EXPECT_EQ(exits, 1);
    EXPECT_EQ(exchangesAtClose, exchangesBefore + 1); // the first sync is out
    EXPECT_EQ(scale().exchanges(), exchangesAtClose); // and nothing after it
    EXPECT_EQ(window.pluTable().grid.text(1, 3), QStringLiteral("unsaved"));
    EXPECT_TRUE(window.tabs()->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Each, LineWork,
                         ::testing::Values(Work::PluDownload, Work::IngredDownload, Work::PluUpload,
                                           Work::DisplayRead));

TEST_F(LineWork, APortGoneAtTheReopenBetweenRowsLeavesTheButtonsClosed) {
    registerLinkFactory(QStringLiteral("vanishing"), [this](const QString&) {
        return std::unique_ptr<Link>(new VanishingLink(scale(), &clock));
    });
    QTest::mouseClick(button("cmdPortClose"), Qt::LeftButton);
    openPort(QStringLiteral("vanishing"));
    scale().clearPlus();
    QTest::mouseClick(button("cmdPLUDownload"), Qt::LeftButton);

    EXPECT_EQ(window.statusText(),
              QStringLiteral("lost port vanishing: the device was removed or stopped answering "
                             "(No such file or directory)"));
    for (const char* name : {"cmdPortOpen"})
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    for (const char* name :
         {"cmdPortClose", "cmdVFDUpdate", "cmdPLUDownload", "cmdINGREDDownload", "cmdPLUUpload"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_EQ(scale().pluNumbers(), QList<quint16>{1});
}

} // namespace
