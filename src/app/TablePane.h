#pragma once

#include "app/TableAccess.h"
#include "app/TablePaneLook.h"

#include <QObject>

#include <memory>

class DownloadColumn;
class EditHistory;
class GridView;
class PaneHost;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;
namespace workbookmenu {
struct Format;
}

// The window's side of one table, whatever its kind: the grid on its tab with the edit
// history, the table's menu (New, Open and Save with the workbook forms, Exit), its column on
// tab "Download", and whether it holds edits no file has. The window has one pane per table
// kind, each made from the kind's look and access; the panes know nothing of each other.
class TablePane : public QObject {
    Q_OBJECT
public:
    TablePane(const TablePaneLook& look, std::unique_ptr<TableAccess> table, PaneHost& host,
              QObject* parent = nullptr);
    ~TablePane() override;

    const TablePaneLook& look() const { return look_; }
    TableAccess& table() { return *table_; }
    EditHistory& history() { return *history_; }
    GridView* grid() const { return grid_; }
    // The grid's tab page with its find bar; the tab widget takes it over.
    QWidget* page() const { return page_; }

    // The table's menu at the end of `bar` (TablePaneMenu.cpp) and its column on tab
    // "Download", made once each.
    QMenu* addMenu(QMenuBar* bar);
    DownloadColumn* addDownloadColumn(QWidget* page);
    DownloadColumn* downloadColumn() const { return downloadColumn_; }
    // The menu's items that change the table or touch a file: all but Exit.
    QList<QAction*> fileCommands() const { return fileCommands_; }

    // Start-up: an empty table with nothing to save; the count text goes to the status panel.
    void start();

    // The menu's commands (TablePaneFiles.cpp). New, Open and an import first ask about
    // unsaved edits; a cancelled dialog ends a command silently; a failure shows its text and
    // only success sets the "Source" box.
    void newTable();
    void open();
    bool save(); // true when the file was written: the table then counts as saved
    void importWorkbook(const workbookmenu::Format& format);
    void exportWorkbook(const workbookmenu::Format& format);
    // A file of this kind named on the command line: opened without the dialog.
    bool opensFile(const QString& path) const;
    void openPath(const QString& path);

    // Before New, Open or an import: whether to save the unsaved edits first. True when the
    // command may go on (saved, discarded or nothing to ask).
    bool settleUnsaved();
    // Before a download: save the edits and send them, or send the table as last saved. True
    // when it may go on; also, without asking, when "Source" reads "?", as the download then
    // refuses by itself.
    bool settleBeforeDownload();
    bool unsaved() const;

    // Brings the tab to the front with the cursor on grid cell (row, col), where a command
    // that refused points the operator.
    void showCell(int row, int col);

Q_SIGNALS:
    void unsavedChanged();
    void exitChosen();        // the menu's Exit
    void downloadRequested(); // the download button of its column

private:
    bool settle(bool forDownload);
    void fileOpened(const QString& path);

    const TablePaneLook& look_;
    std::unique_ptr<TableAccess> table_;
    PaneHost& host_;
    EditHistory* history_ = nullptr;
    GridView* grid_ = nullptr;
    QWidget* page_ = nullptr;
    DownloadColumn* downloadColumn_ = nullptr;
    QList<QAction*> fileCommands_;
};
