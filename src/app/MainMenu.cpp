#include "app/frmMain.h"

#include "app/FileDialog.h"
#include "app/GridView.h"
#include "app/LineLogPane.h"
#include "app/TablePane.h"

#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace {

QAction* addItem(QMenu* menu, const QString& caption, const QString& name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

// The menu bar: each table's menu (TablePaneMenu.cpp), Edit, View and About.
void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    for (TablePane* pane : panes()) {
        pane->addMenu(bar);
        fileCommands_ += pane->fileCommands();
    }

    editMenu_ = bar->addMenu(QStringLiteral("Edit"));
    editMenu_->setObjectName(QStringLiteral("mnuEdit"));
    connect(editMenu_, &QMenu::aboutToShow, this, [this] { buildEditMenu(editMenu_); });
    buildEditMenu(editMenu_);

    QMenu* view = bar->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("mnuView"));
    buildLineLogPane();
    QAction* lineLog = dockLineLog->toggleViewAction(); // checked while the pane shows
    lineLog->setText(QStringLiteral("Line log"));
    lineLog->setObjectName(QStringLiteral("mnuViewLineLog"));
    view->addAction(lineLog);
    connect(addItem(view, QStringLiteral("Send history"), QStringLiteral("mnuViewSendHistory")),
            &QAction::triggered, this, &frmMain::mnuViewSendHistory_Click);

    QAction* about = bar->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

// The "Line log" pane, docked below the tabs and hidden until View > "Line log" shows it.
void frmMain::buildLineLogPane() {
    dockLineLog = new LineLogPane(
        lineLog_, [this] { return dlgFile->getSaveFileName(QStringLiteral("Text file (*.txt)")); },
        this);
    connect(dockLineLog, &LineLogPane::statusText, this, &frmMain::showStatus);
    addDockWidget(Qt::BottomDockWidgetArea, dockLineLog);
    dockLineLog->hide();
}

// The Edit menu holds the commands of the grid on the current tab; their keys work while that
// grid has the focus. On the other tabs there is nothing to edit.
void frmMain::buildEditMenu(QMenu* edit) {
    edit->clear();
    QWidget* page = SSTab->currentWidget();
    GridView* grid = nullptr;
    for (TablePane* pane : panes())
        if (page == pane->page())
            grid = pane->grid();
    if (!grid) {
        edit->addAction(QStringLiteral("Open the PLU or INGRED tab to edit a table"))
            ->setEnabled(false);
        return;
    }
    for (QAction* action : grid->editActions()) {
        if (action)
            edit->addAction(action);
        else
            edit->addSeparator();
    }
}
