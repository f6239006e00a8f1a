// The two download buttons of the window against the built-in simulated scale, on a manual
// clock: what the tabs, the progress bar and "Cancel" do while a transfer runs and after it.

#include "app/StatusBar.h"
#include "app/TablePane.h"
#include "app/frmMain.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "support/WindowOnSimulatedScale.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

// Failures show texts as text. QString lives in the global namespace, where gtest looks.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// What the window looked like at one moment of a transfer.
struct Snapshot {
    bool tabsEnabled;
    bool progressShown;
    bool cancelShown;
    int progressValue;
    int progressMaximum;
};

class DownloadWindow : public WindowOnSimulatedScale {
protected:
    void SetUp() override {
        scale().clearPlus();
        WindowOnSimulatedScale::SetUp();
        if (HasFatalFailure())
            return;
        window.setExitFunction([this] { ++exits; });

        PluTable& plu = window.pluTable();
        for (int i = 1; i <= 3; ++i)
            plu.records[i] = {
                qint16(200 + i), i, QStringLiteral("Item"), QString(), 10 * i, 1, 0, 0, 0};
        plu.count = 3;
        IngredTable& ingred = window.ingredTable();
        for (int i = 1; i <= 3; ++i) {
            ingred.records[i].MessageNo = qint16(70 + i);
            ingred.records[i].Message1 = QStringLiteral("Line %1").arg(i);
        }
        ingred.count = 3;
        window.setSourcePath(QStringLiteral("/data/shop.plu"));

        QObject::connect(statusBar(), &StatusBar::statusTextChanged, [this](const QString& text) {
            texts << text;
            tabsAtText << window.tabs()->isEnabled();
        });
        clock.setOnWait([this](qint64) {
            snapshots << snapshot();
            if (duringWait)
                duringWait();
        });
    }
    StatusBar* statusBar() { return qobject_cast<StatusBar*>(window.statusBar()); }
    template <typename T> T* control(const char* name) {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    bool shown(const char* name) {
        QWidget* widget = control<QWidget>(name);
        return widget && widget->isVisibleTo(&window);
    }
    Snapshot snapshot() {
        auto* bar = control<QProgressBar>("prgTransfer");
        return {window.tabs()->isEnabled(), shown("prgTransfer"), shown("cmdCancel"),
                bar ? bar->value() : -1, bar ? bar->maximum() : -1};
    }
    void choose(const char* option) { control<QRadioButton>(option)->setChecked(true); }
    void type(const char* box, const char* text) {
        control<QLineEdit>(box)->setText(QString::fromLatin1(text));
    }
    void clickPluDownload() { QTest::mouseClick(button("cmdPLUDownload"), Qt::LeftButton); }

    // After a transfer, whichever way it ended: tabs back, controls hidden.
    void expectIdleWindow() {
        EXPECT_TRUE(window.tabs()->isEnabled());
        EXPECT_FALSE(shown("prgTransfer"));
        EXPECT_FALSE(shown("cmdCancel"));
    }

    int exits = 0;
    QStringList texts;
    QList<bool> tabsAtText;
    QList<Snapshot> snapshots;
    std::function<void()> duringWait;
};

} // namespace

TEST_F(DownloadWindow, TabsAreDisabledAndTheProgressShownForTheWholeTransfer) {
    EXPECT_FALSE(shown("prgTransfer"));
    EXPECT_FALSE(shown("cmdCancel"));
    choose("optDownAllPLU");
    clickPluDownload();

    EXPECT_EQ(texts, (QStringList{"plu#1 is transfered", "plu#2 is transfered",
                                  "plu#3 is transfered", " THE END "}));
    EXPECT_EQ(tabsAtText, (QList<bool>{false, false, false, false}));
    ASSERT_EQ(snapshots.size(), 12); // four receives a row
    for (const Snapshot& at : snapshots) {
        EXPECT_FALSE(at.tabsEnabled);
        EXPECT_TRUE(at.progressShown);
        EXPECT_TRUE(at.cancelShown);
        EXPECT_EQ(at.progressMaximum, 3);
    }
    EXPECT_EQ(snapshots[0].progressValue, 0);
    EXPECT_EQ(snapshots[4].progressValue, 1); // row 2's sync
    EXPECT_EQ(snapshots[11].progressValue, 2);
    expectIdleWindow();
    EXPECT_EQ(scale().pluNumbers(), (QList<quint16>{201, 202, 203}));
    EXPECT_TRUE(window.link()->isOpen());
}

TEST_F(DownloadWindow, TheBoxesSelectTheRowsOfTheIngredientDownload) {
    choose("optDownMultipleINGRED");
    type("txtDownStartIngredNo", "2");
    type("txtDownEndIngredNo", "3.5"); // halves to even: 4, beyond the count
    QTest::mouseClick(button("cmdINGREDDownload"), Qt::LeftButton);
    EXPECT_EQ(texts, QStringList{"INGRED Range is not valid"});

    texts.clear();
    type("txtDownEndIngredNo", "2.5");
    QTest::mouseClick(button("cmdINGREDDownload"), Qt::LeftButton);
    EXPECT_EQ(texts, (QStringList{"Message#2 is transfered", " THE END "}));
    EXPECT_TRUE(scale().ingredRecord(72));
    EXPECT_FALSE(scale().ingredRecord(73));
    expectIdleWindow();
}

TEST_F(DownloadWindow, ExitDuringATransferEndsItWithoutAnotherByte) {
    const int before = scale().exchanges();
    duringWait = [this] { window.mnuFileExit_Click(); };
    choose("optDownAllPLU");
    clickPluDownload();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(scale().exchanges() - before, 1); // the first sync, and nothing after it
    EXPECT_TRUE(scale().pluNumbers().isEmpty());
    EXPECT_EQ(snapshots.size(), 1);
}

TEST_F(DownloadWindow, ASecondStartWhileOneRunsIsIgnored) {
    const int before = scale().exchanges();
    int nested = 0;
    duringWait = [&] {
        if (nested++ == 0) {
            Q_EMIT window.pluPane().downloadRequested();
            Q_EMIT window.ingredPane().downloadRequested();
        }
    };
    clickPluDownload(); // "One PLU" 1
    EXPECT_EQ(scale().exchanges() - before, 1);
    EXPECT_EQ(texts, (QStringList{"plu#1 is transfered", " THE END "}));
    expectIdleWindow();
}

TEST_F(DownloadWindow, ATableChangedDuringTheTransferDoesNotReachTheScale) {
    duringWait = [this] {
        window.pluTable().records[2].UnitPrice = 99999;
        window.pluTable().count = 1;
    };
    choose("optDownAllPLU");
    clickPluDownload();
    EXPECT_EQ(texts.last(), QStringLiteral(" THE END "));
    ASSERT_TRUE(scale().pluRecord(202));
    EXPECT_EQ(scale().pluRecord(202)->mid(60, 4), QByteArray::fromHex("00000014")); // 20
    EXPECT_TRUE(scale().pluRecord(203));
}

// The progress bar and "Cancel" are taller than the panels: the bar makes room for them from
// the start, so the tabs above neither jump when a transfer begins nor stay moved after it.
TEST_F(DownloadWindow, TheStatusBarKeepsItsHeightThroughATransfer) {
    window.show();
    QCoreApplication::processEvents();
    const int before = statusBar()->height();
    int during = 0;
    duringWait = [&] { during = statusBar()->sizeHint().height(); };
    clickPluDownload();
    QCoreApplication::processEvents();
    EXPECT_EQ(during, before);
    EXPECT_EQ(statusBar()->height(), before);
}
