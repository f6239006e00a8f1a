#pragma once

#include "app/PaneHost.h"
#include "app/SavePrompt.h"
#include "app/ScalesTab.h"
#include "app/TransferSession.h"
#include "async/Task.h"
#include "jobs/ScaleJob.h"
#include "serial/Clock.h"
#include "serial/LineLog.h"
#include "serial/LinkFactory.h"
#include "tables/PriceChange.h"
#include "tables/Table.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class CompareDialog;
class EditHistory;
class FileDialog;
class FindBar;
class GridView;
class LineLogPane;
class PortComboBox;
class PriceChangeDialog;
class SendHistoryDialog;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSettings;
class QPushButton;
class QRadioButton;
class QTabWidget;
class StatusBar;
class TablePane;
class frmAbout;

// The main window, the shell around the tables' panes: the tabs, the menu bar, the "Source"
// box, the status bar and the port, and the wiring of panes and tabs to the jobs. It owns both
// tables; each has a TablePane (grid, menu, download column, unsaved state) made from its
// kind. Handlers carry the names of the controls and events they serve.
class frmMain : public QMainWindow, public PaneHost, public ScalesTabHost {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    PluTable& pluTable() { return plu_; }
    IngredTable& ingredTable() { return ingred_; }

    // The panes of the tables, in the order of their tabs and menus.
    TablePane& pluPane() const { return *pluPane_; }
    TablePane& ingredPane() const { return *ingredPane_; }
    QList<TablePane*> panes() const { return {pluPane_.get(), ingredPane_.get()}; }

    // The status panel: each text replaces the one before.
    void showStatus(const QString& text) override;
    QString statusText() const;

    // The "Source" box: the file last opened or saved, "?" when there is none.
    void setSourcePath(const QString& path) override;
    QString sourcePath() const override;
    const PluTable& comparedTable() const override { return plu_; }

    // The port the operator opened, or null before the first "Open". The transfers may close
    // and reopen it; it stays owned here.
    Link* link() const { return link_.get(); }

    // The devices behind "Com1" and "Com2" (tests put pseudo-terminals here).
    void setPortNames(const PortNames& names) { portNames_ = names; }
    const PortNames& portNames() const override { return portNames_; }

    // What "Exit" calls to end the program; by default it ends the application's event loop.
    void setExitFunction(std::function<void()> exitFunction) {
        exitFunction_ = std::move(exitFunction);
    }

    QTabWidget* tabs() const { return SSTab; }

    // Opens a table file given by its path (`scaledesk FILE`): the pane whose kind has the
    // file's extension opens it on its tab, after asking about unsaved edits. Another file
    // gets a status text.
    void openPath(const QString& path);

    // Each table's edit history knows whether its grid differs from what was last opened,
    // saved or imported; the title and the mark beside the "Source" box show it.
    EditHistory& historyOf(const PluTable& table);
    EditHistory& historyOf(const IngredTable& table);
    // How the window asks about unsaved edits; by default a message box.
    void setPromptFunction(PromptFunction prompt) { prompt_ = std::move(prompt); }
    // Exit: asks about each table's unsaved edits; Cancel, or a save that did not happen,
    // keeps the program running. Returns whether it ends.
    bool exitProgram();

    // "Change Prices..." on the selected rows of a grid with a unit price (PriceChanges.cpp).
    // The function shows the dialog and returns the change to apply; tests fill it in instead.
    using PriceChangeFunction = std::function<std::optional<PriceChange>(PriceChangeDialog&)>;
    void setPriceChangeFunction(PriceChangeFunction function) {
        priceChangeFunction_ = std::move(function);
    }
    void changePrices(TablePane& pane);

    // The window's size and place (WindowPlacement.cpp): wide enough for every column of both
    // grids where `available` allows it, and as the operator left it last time.
    QSize fittingSize(const QSize& available) const;
    void restorePlacement(QSettings& settings);
    void savePlacement(QSettings& settings) const;

    // While the line is in use (a transfer or a display read), every menu command that
    // changes a table or touches a file is disabled; Exit and About stay. Calls nest.
    void beginLineWork();
    void endLineWork();

    // After a transfer: when it left the port closed (a reopen between rows failed), the
    // buttons follow and the status panel says the port was lost.
    void checkPortAfterTransfer();

    // Asks a yes-or-no question (by default a message box); tests answer it instead.
    void setConfirmFunction(std::function<bool(const QString& question)> confirm) {
        confirm_ = std::move(confirm);
    }
    bool confirm(const QString& question);

    // Where "Back up the scale first" writes the scale's PLU table; by default the folder
    // "backups" in the user's application data (made when first needed).
    void setBackupFolder(const QString& folder) { backupFolder_ = folder; }
    QString backupFolder() const override;

    // A transfer or a display read runs on the port of the single-port tabs (also while its
    // job is being started: on a clock that never waits, it runs to its end right there).
    bool lineBusy() const;

    // The clock of every wait on the line (tests put a manual clock here).
    void setClock(Clock& clock) { clock_ = &clock; }
    Clock& clock() const override { return *clock_; }

    // Every byte the single-port tabs exchange with the scale; the "Line log" pane shows it.
    LineLog& lineLog() override { return lineLog_; }

    // The send journal the window records in and "Send history" reads (JournalSetting.cpp):
    // kept with the operator's settings; journal::defaultJournalPath() until one is chosen.
    QString journalPath() const override;
    void setJournalPath(const QString& path);

Q_SIGNALS:
    // "Exit" was chosen; emitted before the program ends, so a running wait can give up.
    void exitRequested();

public Q_SLOTS:
    void mnuFileExit_Click(); // Exit in every table's menu
    void mnuAbout_Click();
    void mnuViewSendHistory_Click();

    void cmdPortOpen_Click();
    void cmdPortClose_Click();
    void cmdVFDUpdate_Click();
    void cmdPLUUpload_Click();
    void cmdPLUCompare_Click();

protected:
    // The title-bar close, or the desktop ending the session, acts exactly as "Exit".
    void closeEvent(QCloseEvent* event) override;

private:
    // Building the window (MainMenu.cpp, MainTabs.cpp).
    void buildMenus();
    void buildLineLogPane();
    void buildTabs();
    QWidget* buildPortTab();
    QWidget* buildDisplayTab();
    QWidget* buildDownloadTab();
    QWidget* buildUploadTab();
    QWidget* buildSourceRow();

    void Form_Load();
    void buildEditMenu(QMenu* edit);
    void updateUnsavedMarks(); // UnsavedMarks.cpp

    // PaneHost
    SavePrompt::Answer askAboutUnsaved(const SavePrompt& prompt) override {
        return prompt_(prompt);
    }
    FileDialog& fileDialog() override { return *dlgFile; }
    void showPage(QWidget* page) override;

    // Port control (PortControl.cpp).
    struct PortChoice {
        QString port;  // as createLink() takes it
        QString label; // what follows "select comport", "open port": "1", " /dev/ttyUSB0"
    };
    PortChoice chosenPort() const;
    enum class PortState { Closed, Connecting, Open };
    void setPortButtons(PortState state);
    bool connecting() const;
    void onLinkFailed(const QString& reason);
    void showLostPort(const QString& reason);
    async::Task<void> openPort(PortChoice choice);

    // The single-port tabs' jobs (LineJob.cpp). `prepare` connects to the job before it
    // starts; `ended` runs at its end and may continue the session with a follow-up job.
    struct LineJobHooks {
        std::function<void(ScaleJob& job)> prepare;
        std::function<void(const ScaleJob& job)> ended;
    };
    void startLineJob(JobWork work, TransferSession::Kind kind, LineJobHooks hooks);
    void continueLineJob(JobWork work, LineJobHooks hooks);
    void runLineJob(JobWork work, LineJobHooks hooks);
    // A pane's download button (DownloadCommands.cpp).
    void downloadFrom(TablePane& pane);
    void startDownload(DownloadPlan plan, DownloadChecks checks);

    PluTable plu_;
    IngredTable ingred_;
    // After the tables they show; they go in the destructor, before the tables.
    std::unique_ptr<TablePane> pluPane_;
    std::unique_ptr<TablePane> ingredPane_;
    PromptFunction prompt_;
    PriceChangeFunction priceChangeFunction_;

    std::unique_ptr<Link> link_;
    QString linkLabel_;            // the label of the port link_ was opened on
    async::Task<void> opening_;    // "Open" connecting to a serial device server
    int lineWork_ = 0;             // transfers and display reads under way
    QList<QAction*> fileCommands_; // New, Open, Save and the workbook items of every menu
    RealClock realClock_;
    Clock* clock_ = &realClock_;
    PortNames portNames_ = PortNames::platformDefault();
    std::function<void()> exitFunction_;

    frmAbout* about_ = nullptr;
    StatusBar* statusBar_ = nullptr;

    QTabWidget* SSTab = nullptr;
    QLineEdit* txtFilePath = nullptr;
    QLabel* lblUnsaved = nullptr;  // "* not saved: ..." beside the "Source" box
    FileDialog* dlgFile = nullptr; // the one file dialog of every file command
    LineLog lineLog_;
    LineLogPane* dockLineLog = nullptr;        // View > "Line log"
    SendHistoryDialog* sendHistory_ = nullptr; // View > "Send history", made when first shown

    // Tab "Port"
    QRadioButton* optCom1 = nullptr;
    QRadioButton* optCom2 = nullptr;
    QRadioButton* optComOther = nullptr;
    PortComboBox* cboComOther = nullptr;
    QPushButton* cmdPortOpen = nullptr;
    QPushButton* cmdPortClose = nullptr;

    // Tab "Display"
    QLineEdit* txtWeight = nullptr;
    QLineEdit* txtUnitPrice = nullptr;
    QLineEdit* txtTotalPrice = nullptr;
    QPushButton* cmdVFDUpdate = nullptr;

    QMenu* editMenu_ = nullptr; // shows the commands of the grid on the current tab

    // Tab "Download": each pane's column, and below them all:
    QCheckBox* chkDownChangedOnly = nullptr; // "Only changed rows": what the journal says differs
    QString backupFolder_;
    std::function<bool(const QString&)> confirm_;

    // Tab "Upload"
    QPushButton* cmdPLUUpload = nullptr;
    QRadioButton* optUpOnePLU = nullptr;
    QRadioButton* optUpAllPLU = nullptr;
    QLineEdit* txtUpOnePluNo = nullptr;
    QPushButton* cmdPLUCompare = nullptr; // "Compare": the scale's PLUs against the table
    CompareDialog* compareDialog_ = nullptr;

    // The transfer or display read of the single-port tabs, started by its button's handler
    // and going on from the event loop, and the window's side of it. Last, so they end first,
    // while the window is whole.
    std::unique_ptr<TransferSession> lineSession_;
    std::unique_ptr<ScaleJob> lineJob_;
};
