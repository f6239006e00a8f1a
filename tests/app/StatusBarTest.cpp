#include "app/StatusBar.h"
#include "app/StatusPanel.h"
#include "app/frmMain.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

TEST(StatusBarPanels, StatusPanelComesFirstAndIsWidest) {
    StatusBar bar;
    bar.resize(900, 24);
    bar.show();
    bar.setStatusText(QStringLiteral("plu#3 is transfered"));
    EXPECT_EQ(bar.statusText(), QStringLiteral("plu#3 is transfered"));
    EXPECT_EQ(bar.statusPanel()->accessibleName(), QStringLiteral("Status: plu#3 is transfered"));
    EXPECT_EQ(bar.statusPanel()->accessibleDescription(), QStringLiteral("plu#3 is transfered"));
    EXPECT_TRUE(bar.datePanel()->accessibleName().startsWith(QStringLiteral("Date: ")));
    EXPECT_TRUE(bar.timePanel()->accessibleName().startsWith(QStringLiteral("Time: ")));
    EXPECT_LT(bar.statusPanel()->x(), bar.datePanel()->x());
    EXPECT_LT(bar.datePanel()->x(), bar.timePanel()->x());
    EXPECT_GT(bar.statusPanel()->width(), bar.datePanel()->width());
    EXPECT_GT(bar.statusPanel()->width(), bar.timePanel()->width());
}

TEST(StatusBarPanels, ALongTextIsElidedAndNeverWidensTheWindow) {
    frmMain window;
    window.show();
    const int width = window.width();
    const QString path = QStringLiteral("/dev/serial/by-id/") + QString(170, QLatin1Char('x'));
    window.showStatus(QStringLiteral("lost port ") + path + QStringLiteral(": gone"));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.width(), width);
    EXPECT_LE(window.minimumSizeHint().width(), width);
    auto* panel = window.findChild<StatusPanel*>(QStringLiteral("StatusPanel"));
    EXPECT_EQ(panel->toolTip(), window.statusText());
    EXPECT_EQ(panel->accessibleDescription(), window.statusText());
    EXPECT_TRUE(window.statusText().endsWith(QStringLiteral(": gone")));
}

TEST(StatusBarPanels, DateAndTimeFollowTheClockAndWakeAtTheNextMinute) {
    StatusBar bar;
    QDateTime now(QDate(2024, 3, 5), QTime(13, 7, 59, 500));
    bar.setClock([&] { return now; });
    const QLocale locale;
    EXPECT_EQ(bar.datePanel()->text(), locale.toString(now.date(), QLocale::ShortFormat));
    const QString time = bar.timePanel()->text();
    EXPECT_TRUE(time.contains(QStringLiteral("07"))) << time.toStdString();
    EXPECT_FALSE(time.contains(QStringLiteral("59"))) << time.toStdString(); // no seconds
    // Half a second before the minute turns, the bar sleeps about half a second.
    EXPECT_TRUE(bar.clockTimer().isActive());
    EXPECT_TRUE(bar.clockTimer().isSingleShot());
    EXPECT_GE(bar.clockTimer().interval(), 500);
    EXPECT_LE(bar.clockTimer().interval(), 600);

    // Midnight: both panels change when the timer fires.
    now = QDateTime(QDate(2024, 3, 6), QTime(0, 0, 0, 40));
    bar.refreshClock(); // what the timer calls
    EXPECT_EQ(bar.datePanel()->text(), locale.toString(now.date(), QLocale::ShortFormat));
    EXPECT_NE(bar.timePanel()->text(), time);
    EXPECT_GE(bar.clockTimer().interval(), 59000);
}

} // namespace
