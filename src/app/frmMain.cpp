#include "app/frmMain.h"

#include "app/AppInfo.h"
#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/GridView.h"
#include "app/StatusBar.h"
#include "app/TableFileMenu.h"
#include "app/TransferControls.h"
#include "app/frmAbout.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>

namespace {
// The operator's settings: the window's size and place, nothing else.
std::unique_ptr<QSettings> userSettings() {
    return std::make_unique<QSettings>(appinfo::productName(), appinfo::productName());
}
} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent), exitFunction_([] { QCoreApplication::exit(0); }) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(appinfo::productName());
    prompt_ = [this](const SavePrompt& prompt) { return askWithMessageBox(this, prompt); };
    pluHistory_ = new EditHistory(plu_.grid, this);
    ingredHistory_ = new EditHistory(ingred_.grid, this);
    statusBar_ = new StatusBar(this);
    setStatusBar(statusBar_);
    // The progress bar and "Cancel" are taller than the panels; made now, hidden, they give the
    // bar its height once, and the tabs do not move when a transfer begins or ends.
    TransferControls::of(*statusBar_);
    dlgFile = new FileDialog(this);
    buildTabs();
    buildMenus();
    Form_Load();
    // Start-up is the first "open": nothing is unsaved yet.
    pluHistory_->markSaved();
    ingredHistory_->markSaved();
    for (EditHistory* history : {pluHistory_, ingredHistory_}) {
        connect(history, &QUndoStack::cleanChanged, this, &frmMain::updateUnsavedMarks);
        // A table replaced while the line is in use came from the scale: it is in no file.
        connect(&history->grid(), &QAbstractItemModel::modelReset, history, [this, history] {
            if (lineWork_ > 0)
                history->markUnsaved();
        });
    }
    updateUnsavedMarks();

    resize(fittingSize(screen()->availableGeometry().size()));
    restorePlacement(*userSettings());
}

frmMain::~frmMain() {
    // A line job still waiting ends here, with no further byte, and so does a connection
    // attempt; the job's session still finds the window whole.
    lineJob_.reset();
    lineSession_.reset();
    opening_ = {};
    // The grid views go before the tables they show; the port is released with link_.
    delete SSTab;
    SSTab = nullptr;
    // The histories watch the tables' grids and report to this window: they go while both
    // still exist (an undo stack signals as it is destroyed).
    for (EditHistory* history : {pluHistory_, ingredHistory_}) {
        history->disconnect(this);
        delete history;
    }
}

void frmMain::Form_Load() {
    optCom1->setChecked(true);
    setPortButtons(PortState::Closed);

    plu_.reset();
    ingred_.reset();
    plu_.count = 0;
    showStatus(countText(plu_));
    ingred_.count = 0;
    showStatus(countText(ingred_));

    setSourcePath(QStringLiteral("?"));
    grdPLU->editBox()->hide();
    grdINGRED->editBox()->hide();

    optDownOnePLU->setChecked(true);
    optDownOneINGRED->setChecked(true);
    optUpOnePLU->setChecked(true);

    // The line settings (9600 baud, no parity, 8 data bits, 1 stop bit, no handshaking,
    // DTR and RTS off, 4096-byte buffers) are constants of the links and are applied each
    // time "Open" opens a port; nothing is opened here.
}

void frmMain::showStatus(const QString& text) {
    statusBar_->setStatusText(text);
}

QString frmMain::statusText() const {
    return statusBar_->statusText();
}

void frmMain::showCell(const PluTable&, int row, int col) {
    showGridCell(*grdPLU, row, col);
}

void frmMain::showCell(const IngredTable&, int row, int col) {
    showGridCell(*grdINGRED, row, col);
}

void frmMain::showGridCell(GridView& view, int row, int col) {
    SSTab->setCurrentWidget(view.parentWidget()); // the grid's tab page
    view.selectBlock(row, col, 1, 1);
    view.setFocus();
}

void frmMain::setSourcePath(const QString& path) {
    txtFilePath->setText(path);
}

QString frmMain::sourcePath() const {
    return txtFilePath->text();
}

void frmMain::mnuFileExit_Click() {
    exitProgram();
}

bool frmMain::exitProgram() {
    if (!settleUnsaved(plu_) || !settleUnsaved(ingred_))
        return false;
    savePlacement(*userSettings());
    Q_EMIT exitRequested();
    exitFunction_();
    return true;
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A transfer may be waiting on the line below this call; Exit ends it with no further
    // byte, and the program's event loop ends after it.
    if (exitProgram())
        event->accept();
    else
        event->ignore();
}

void frmMain::beginLineWork() {
    if (lineWork_++ == 0) {
        for (QAction* action : fileCommands_)
            action->setEnabled(false);
        editMenu_->menuAction()->setEnabled(false);
    }
}

void frmMain::endLineWork() {
    if (--lineWork_ == 0) {
        for (QAction* action : fileCommands_)
            action->setEnabled(true);
        editMenu_->menuAction()->setEnabled(true);
    }
}

void frmMain::mnuFileExit1_Click() {
    mnuFileExit_Click();
}

void frmMain::mnuAbout_Click() {
    if (!about_)
        about_ = new frmAbout(this);
    about_->exec();
}

// ---------------------------------------------------------------------------------------
// New, Open and Save of the table files (TableFileMenu.cpp)
// ---------------------------------------------------------------------------------------

void frmMain::mnuFileNew_Click() {
    tablefilemenu::fileNew(*this, plu_);
}

void frmMain::mnuFileOpen_Click() {
    tablefilemenu::fileOpen(*this, plu_, *dlgFile, FileDialog::pluFilter());
}

void frmMain::mnuFileSave_Click() {
    saveTable(plu_);
}

void frmMain::mnuFileNew1_Click() {
    tablefilemenu::fileNew(*this, ingred_);
}

void frmMain::mnuFileOpen1_Click() {
    tablefilemenu::fileOpen(*this, ingred_, *dlgFile, FileDialog::ingredFilter());
}

void frmMain::mnuFileSave1_Click() {
    saveTable(ingred_);
}
