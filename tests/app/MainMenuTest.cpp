#include "app/frmMain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

// One line per entry of a menu: "caption=objectName", "-=objectName" for a separator,
// "caption>objectName" for a submenu.
QStringList entries(const QList<QAction*>& actions) {
    QStringList lines;
    for (QAction* action : actions) {
        if (action->isSeparator())
            lines << QStringLiteral("-=") + action->objectName();
        else if (action->menu())
            lines << action->text() + QStringLiteral(">") + action->menu()->objectName();
        else
            lines << action->text() + QStringLiteral("=") + action->objectName();
    }
    return lines;
}

QMenu* menuNamed(const frmMain& window, const char* name) {
    return window.findChild<QMenu*>(QString::fromLatin1(name));
}

TEST(MainMenu, CaptionsNamesSeparatorsAndOrder) {
    frmMain window;
    EXPECT_EQ(entries(window.menuBar()->actions()),
              (QStringList{"PLU>mnuPLU", "INGRED>mnuINGRED", "Edit>mnuEdit", "View>mnuView",
                           "About=mnuAbout"}));
    EXPECT_EQ(entries(menuNamed(window, "mnuView")->actions()),
              (QStringList{"Line log=mnuViewLineLog", "Send history=mnuViewSendHistory"}));

    EXPECT_EQ(
        entries(menuNamed(window, "mnuPLU")->actions()),
        (QStringList{"New=mnuFileNew", "Open>mnuO", "Save>mnuS", "-=mnuSep3", "Exit=mnuFileExit"}));
    EXPECT_EQ(
        entries(menuNamed(window, "mnuO")->actions()),
        (QStringList{"PLU File( *.PLU)=mnuFileOpen", "-=mnuSep1", "Excel File( *.XLS)=mnuLxls",
                     "Excel Workbook (*.xlsx)=mnuLxlsx", "CSV File (*.csv)=mnuLcsv"}));
    EXPECT_EQ(entries(menuNamed(window, "mnuS")->actions()),
              (QStringList{"PLU File( *.PLU)=mnuFileSave", "-=mnuSep2", "Excel File( *.XLS)=mnuXls",
                           "Excel Workbook (*.xlsx)=mnuXlsx", "CSV File (*.csv)=mnuCsv"}));

    EXPECT_EQ(entries(menuNamed(window, "mnuINGRED")->actions()),
              (QStringList{"New=mnuFileNew1", "Open>mnuO1", "Save>mnuFi", "-=mnuSep6",
                           "Exit=mnuFileExit1"}));
    EXPECT_EQ(entries(menuNamed(window, "mnuO1")->actions()),
              (QStringList{"INGRED File( *.INGRED)=mnuFileOpen1", "-=mnuSep4",
                           "Excel File( *.XLS)=mnuLxls1", "Excel Workbook (*.xlsx)=mnuLxlsx1",
                           "CSV File (*.csv)=mnuLcsv1"}));
    EXPECT_EQ(entries(menuNamed(window, "mnuFi")->actions()),
              (QStringList{"INGRED File( *.INGRED)=mnuFileSave1", "-=mnuSep5",
                           "Excel File( *.XLS)=mnuLxls2", "Excel Workbook (*.xlsx)=mnuLxlsx2",
                           "CSV File (*.csv)=mnuLcsv2"}));

    for (int i = 1; i <= 6; ++i) {
        auto* separator = window.findChild<QAction*>(QStringLiteral("mnuSep%1").arg(i));
        ASSERT_NE(separator, nullptr) << i;
        EXPECT_TRUE(separator->isSeparator()) << i;
    }
}

TEST(MainMenu, EditHoldsTheCommandsOfTheGridOnTheCurrentTab) {
    frmMain window;
    QMenu* edit = menuNamed(window, "mnuEdit");
    ASSERT_NE(edit, nullptr);
    window.tabs()->setCurrentIndex(5); // INGRED
    Q_EMIT edit->aboutToShow();
    const QStringList entries = ::entries(edit->actions());
    EXPECT_EQ(
        entries,
        (QStringList{"Undo=grdINGREDUndo", "Redo=grdINGREDRedo", "-=", "Cut=grdINGREDCut",
                     "Copy=grdINGREDCopy", "Paste=grdINGREDPaste", "Clear Cells=grdINGREDClear",
                     "-=", "Insert Row Above=grdINGREDInsertRow", "Delete Rows=grdINGREDDeleteRows",
                     "-=", "Find...=grdINGREDFind", "Find Next=grdINGREDFindNext",
                     "-=", "Change Prices...=grdINGREDChangePrices"}));
    EXPECT_EQ(edit->actions().at(0)->shortcut(), QKeySequence(QKeySequence::Undo));
    EXPECT_EQ(edit->actions().at(8)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Plus));

    window.tabs()->setCurrentIndex(0); // Port: nothing to edit
    Q_EMIT edit->aboutToShow();
    ASSERT_EQ(edit->actions().size(), 1);
    EXPECT_FALSE(edit->actions().at(0)->isEnabled());
}

} // namespace
