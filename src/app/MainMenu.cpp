#include "app/frmMain.h"

#include "app/FileDialog.h"
#include "app/GridView.h"
#include "app/LineLogPane.h"
#include "app/WorkbookMenu.h"

#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace {

QAction* addItem(QMenu* menu, const QString& caption, const QString& name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

// Every item of `menu` and its submenus except Exit: they change a table or touch a file.
QList<QAction*> fileCommandsOf(QMenu* menu) {
    QList<QAction*> commands;
    for (QAction* action : menu->actions()) {
        if (QMenu* submenu = action->menu())
            commands += fileCommandsOf(submenu);
        else if (!action->isSeparator() &&
                 !action->objectName().startsWith(QLatin1String("mnuFileExit")))
            commands.append(action);
    }
    return commands;
}

void addSeparator(QMenu* menu, const QString& name) {
    menu->addSeparator()->setObjectName(name);
}

// One item per workbook form, named by `name` of its format and running `command` with it.
template <typename Command>
void addWorkbookItems(QMenu* menu, QString workbookmenu::Format::*name, const Command& command) {
    for (const workbookmenu::Format& format : workbookmenu::formats())
        QObject::connect(addItem(menu, format.caption, format.*name), &QAction::triggered, menu,
                         [&format, command] { command(format); });
}

QMenu* addSubmenu(QMenu* menu, const QString& caption, const QString& name) {
    QMenu* submenu = menu->addMenu(caption);
    submenu->setObjectName(name);
    submenu->menuAction()->setObjectName(name + QStringLiteral("Action"));
    return submenu;
}

} // namespace

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));

    QMenu* plu = bar->addMenu(QStringLiteral("PLU"));
    plu->setObjectName(QStringLiteral("mnuPLU"));
    connect(addItem(plu, QStringLiteral("New"), QStringLiteral("mnuFileNew")), &QAction::triggered,
            this, &frmMain::mnuFileNew_Click);
    QMenu* pluOpen = addSubmenu(plu, QStringLiteral("Open"), QStringLiteral("mnuO"));
    connect(addItem(pluOpen, QStringLiteral("PLU File( *.PLU)"), QStringLiteral("mnuFileOpen")),
            &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    addSeparator(pluOpen, QStringLiteral("mnuSep1"));
    addWorkbookItems(pluOpen, &workbookmenu::Format::pluOpen, [this](const auto& format) {
        workbookmenu::importWorkbook(*this, plu_, *dlgFile, format);
    });
    QMenu* pluSave = addSubmenu(plu, QStringLiteral("Save"), QStringLiteral("mnuS"));
    connect(addItem(pluSave, QStringLiteral("PLU File( *.PLU)"), QStringLiteral("mnuFileSave")),
            &QAction::triggered, this, &frmMain::mnuFileSave_Click);
    addSeparator(pluSave, QStringLiteral("mnuSep2"));
    addWorkbookItems(pluSave, &workbookmenu::Format::pluSave, [this](const auto& format) {
        workbookmenu::exportWorkbook(*this, plu_, *dlgFile, format);
    });
    addSeparator(plu, QStringLiteral("mnuSep3"));
    connect(addItem(plu, QStringLiteral("Exit"), QStringLiteral("mnuFileExit")),
            &QAction::triggered, this, &frmMain::mnuFileExit_Click);

    QMenu* ingred = bar->addMenu(QStringLiteral("INGRED"));
    ingred->setObjectName(QStringLiteral("mnuINGRED"));
    connect(addItem(ingred, QStringLiteral("New"), QStringLiteral("mnuFileNew1")),
            &QAction::triggered, this, &frmMain::mnuFileNew1_Click);
    QMenu* ingredOpen = addSubmenu(ingred, QStringLiteral("Open"), QStringLiteral("mnuO1"));
    connect(addItem(ingredOpen, QStringLiteral("INGRED File( *.INGRED)"),
                    QStringLiteral("mnuFileOpen1")),
            &QAction::triggered, this, &frmMain::mnuFileOpen1_Click);
    addSeparator(ingredOpen, QStringLiteral("mnuSep4"));
    addWorkbookItems(ingredOpen, &workbookmenu::Format::ingredOpen, [this](const auto& format) {
        workbookmenu::importWorkbook(*this, ingred_, *dlgFile, format);
    });
    QMenu* ingredSave = addSubmenu(ingred, QStringLiteral("Save"), QStringLiteral("mnuFi"));
    connect(addItem(ingredSave, QStringLiteral("INGRED File( *.INGRED)"),
                    QStringLiteral("mnuFileSave1")),
            &QAction::triggered, this, &frmMain::mnuFileSave1_Click);
    addSeparator(ingredSave, QStringLiteral("mnuSep5"));
    addWorkbookItems(ingredSave, &workbookmenu::Format::ingredSave, [this](const auto& format) {
        workbookmenu::exportWorkbook(*this, ingred_, *dlgFile, format);
    });
    addSeparator(ingred, QStringLiteral("mnuSep6"));
    connect(addItem(ingred, QStringLiteral("Exit"), QStringLiteral("mnuFileExit1")),
            &QAction::triggered, this, &frmMain::mnuFileExit1_Click);

    fileCommands_ = fileCommandsOf(plu) + fileCommandsOf(ingred);

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
    for (GridView* candidate : {grdPLU, grdINGRED})
        if (page && page->isAncestorOf(candidate))
            grid = candidate;
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
