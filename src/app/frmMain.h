#pragma once

#include "app/SavePrompt.h"
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
class frmAbout;

// The main window: the six tabs, the menus, the "Source" box and the status bar; it owns
// both tables and the port. Handlers carry the names of the controls and events they serve.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    PluTable& pluTable() { return plu_; }
    IngredTable& ingredTable() { return ingred_; }

    // The status panel: each text replaces the one before.
    void showStatus(const QString& text);
    QString statusText() const;

    // Shows the table's tab with the cursor on grid cell (row, col), where a command that
    // refused points the operator.
    void showCell(const PluTable& table, int row, int col);
    void showCell(const IngredTable& table, int row, int col);

    // The "Source" box: the file last opened or saved, "?" when there is none.
    void setSourcePath(const QString& path);
    QString sourcePath() const;

    // The port the operator opened, or null before the first "Open". The transfers may close
    // and reopen it; it stays owned here.
    Link* link() const { return link_.get(); }

    // The devices behind "Com1" and "Com2" (tests put pseudo-terminals here).
    void setPortNames(const PortNames& names) { portNames_ = names; }
    const PortNames& portNames() const { return portNames_; }

    // What "Exit" calls to end the program; by default it ends the application's event loop.
    void setExitFunction(std::function<void()> exitFunction) {
        exitFunction_ = std::move(exitFunction);
    }

    QTabWidget* tabs() const { return SSTab; }

    // Opens a table file given by its path (`scaledesk FILE`, OpenByPath.cpp): its extension
    // tells the table, whose tab comes to the front; then as the table's Open does once its
    // dialog has answered, after asking about unsaved edits. Another file gets a status text.
    void openPath(const QString& path);

    // Unsaved edits (UnsavedWork.cpp). Each table's history knows whether its grid differs
    // from what was last opened, saved or imported; the title and the mark beside the
    // "Source" box show it.
    EditHistory& historyOf(const PluTable& table);
    EditHistory& historyOf(const IngredTable& table);
    // How the window asks about unsaved edits; by default a message box.
    void setPromptFunction(PromptFunction prompt) { prompt_ = std::move(prompt); }
    // Before New, Open or an import replaces the table: asks whether to save its unsaved
    // edits first. True when the command may go on (saved, discarded or nothing to ask).
    bool settleUnsaved(PluTable& table);
    bool settleUnsaved(IngredTable& table);
    // Before a download of the table: save the edits and send them, or send the table as last
    // saved. True when the download may go on; also, without asking, when "Source" reads "?",
    // as the download then refuses by itself.
    bool settleBeforeDownload(PluTable& table);
    bool settleBeforeDownload(IngredTable& table);
    // The table file's Save with its dialog; true when the file was written.
    bool saveTable(PluTable& table);
    bool saveTable(IngredTable& table);
    // Exit: asks about each table's unsaved edits; Cancel, or a save that did not happen,
    // keeps the program running. Returns whether it ends.
    bool exitProgram();

    // "Change Prices..." on the selected PLU rows (PriceChanges.cpp). The function shows the
    // dialog and returns the change to apply; tests fill the dialog in instead.
    using PriceChangeFunction = std::function<std::optional<PriceChange>(PriceChangeDialog&)>;
    void setPriceChangeFunction(PriceChangeFunction function) {
        priceChangeFunction_ = std::move(function);
    }
    void changePrices();

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
    QString backupFolder() const;

    // A transfer or a display read runs on the port of the single-port tabs (also while its
    // job is being started: on a clock that never waits, it runs to its end right there).
    bool lineBusy() const;

    // The clock of every wait on the line (tests put a manual clock here).
    void setClock(Clock& clock) { clock_ = &clock; }
    Clock& clock() const { return *clock_; }

    // Every byte the single-port tabs exchange with the scale; the "Line log" pane shows it.
    LineLog& lineLog() { return lineLog_; }

    // The send journal the window records in and "Send history" reads (JournalSetting.cpp):
    // kept with the operator's settings; journal::defaultJournalPath() until one is chosen.
    QString journalPath() const;
    void setJournalPath(const QString& path);

Q_SIGNALS:
    // "Exit" was chosen; emitted before the program ends, so a running wait can give up.
    void exitRequested();

public Q_SLOTS:
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileExit_Click();
    void mnuFileNew1_Click();
    void mnuFileOpen1_Click();
    void mnuFileSave1_Click();
    void mnuFileExit1_Click();
    void mnuAbout_Click();
    void mnuViewSendHistory_Click();

    void cmdPortOpen_Click();
    void cmdPortClose_Click();
    void cmdVFDUpdate_Click();
    void cmdPLUDownload_Click();
    void cmdINGREDDownload_Click();
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
    QWidget* buildGridTab(GridView* grid);
    QWidget* buildSourceRow();

    void Form_Load();
    void showGridCell(GridView& view, int row, int col);
    void buildEditMenu(QMenu* edit);
    void updateUnsavedMarks();
    SavePrompt::Answer ask(const SavePrompt& prompt) { return prompt_(prompt); }
    template <typename Table> bool settle(Table& table, bool forDownload);

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
    // DownloadCommands.cpp
    template <typename TableT>
    void downloadTable(TableT& table, const DownloadSelection& selection, DownloadChecks checks);
    void startDownload(DownloadPlan plan, DownloadChecks checks);

    PluTable plu_;
    IngredTable ingred_;
    EditHistory* pluHistory_ = nullptr;
    EditHistory* ingredHistory_ = nullptr;
    PromptFunction prompt_;
    PriceChangeFunction priceChangeFunction_;

    std::unique_ptr<Link> link_;
    QString linkLabel_;            // the label of the port link_ was opened on
    async::Task<void> opening_;    // "Open" connecting to a serial device server
    int lineWork_ = 0;             // transfers and display reads under way
    QList<QAction*> fileCommands_; // New, Open, Save and the workbook items of both menus
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

    // Tabs "PLU" and "INGRED"
    GridView* grdPLU = nullptr;
    GridView* grdINGRED = nullptr;
    QMenu* editMenu_ = nullptr; // shows the commands of the grid on the current tab

    // Tab "Download"
    QPushButton* cmdPLUDownload = nullptr;
    QRadioButton* optDownOnePLU = nullptr;
    QRadioButton* optDownMultiplePLU = nullptr;
    QRadioButton* optDownAllPLU = nullptr;
    QLineEdit* txtDownOnePluNo = nullptr;
    QLineEdit* txtDownStartPluNo = nullptr;
    QLineEdit* txtDownEndPluNo = nullptr;
    QPushButton* cmdINGREDDownload = nullptr;
    QRadioButton* optDownOneINGRED = nullptr;
    QRadioButton* optDownMultipleINGRED = nullptr;
    QRadioButton* optDownAllINGRED = nullptr;
    QLineEdit* txtDownOneIngredNo = nullptr;
    QLineEdit* txtDownStartIngredNo = nullptr;
    QLineEdit* txtDownEndIngredNo = nullptr;
    QCheckBox* chkDownVerifyPLU = nullptr;   // "Verify": read the sent PLUs back
    QCheckBox* chkDownBackupPLU = nullptr;   // "Back up the scale first" (ALL PLU)
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
