#include "app/TablePane.h"
#include "app/WorkbookMenu.h"

#include <QMenu>
#include <QMenuBar>

// A pane's menu: New; Open and Save, each with the table file and then every workbook form;
// Exit. The items' objectNames are the kind's own (TablePaneLook::Menu).

namespace {

QAction* addItem(QMenu* menu, const QString& caption, const QString& name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QMenu* addSubmenu(QMenu* menu, const QString& caption, const QString& name) {
    QMenu* submenu = menu->addMenu(caption);
    submenu->setObjectName(name);
    submenu->menuAction()->setObjectName(name + QStringLiteral("Action"));
    return submenu;
}

} // namespace

QMenu* TablePane::addMenu(QMenuBar* bar) {
    const TablePaneLook::Menu& names = look_.menu;
    QMenu* menu = bar->addMenu(look_.caption);
    menu->setObjectName(names.name);
    const auto command = [this](QAction* action, auto run) {
        connect(action, &QAction::triggered, this, run);
        fileCommands_.append(action);
    };
    command(addItem(menu, QStringLiteral("New"), names.newItem), [this] { newTable(); });

    // Open and Save: the table file, a separator, then one item per workbook form.
    const auto addFileSubmenu = [&](const QString& caption, const QString& name,
                                    const QString& fileItem, const QString& separator,
                                    const QStringList& workbookItems, auto runFile,
                                    auto runWorkbook) {
        QMenu* submenu = addSubmenu(menu, caption, name);
        command(addItem(submenu, names.fileCaption, fileItem), runFile);
        submenu->addSeparator()->setObjectName(separator);
        const QVector<workbookmenu::Format>& formats = workbookmenu::formats();
        for (int i = 0; i < formats.size() && i < workbookItems.size(); ++i) {
            const workbookmenu::Format& format = formats[i];
            command(addItem(submenu, format.caption, workbookItems[i]),
                    [this, &format, runWorkbook] { (this->*runWorkbook)(format); });
        }
    };
    addFileSubmenu(
        QStringLiteral("Open"), names.openMenu, names.openItem, names.separators[0],
        names.workbookOpenItems, [this] { open(); }, &TablePane::importWorkbook);
    addFileSubmenu(
        QStringLiteral("Save"), names.saveMenu, names.saveItem, names.separators[1],
        names.workbookSaveItems, [this] { save(); }, &TablePane::exportWorkbook);

    menu->addSeparator()->setObjectName(names.separators[2]);
    connect(addItem(menu, QStringLiteral("Exit"), names.exitItem), &QAction::triggered, this,
            &TablePane::exitChosen);
    return menu;
}
