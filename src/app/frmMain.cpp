#include "app/frmMain.h"

#include "app/AppInfo.h"
#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/GridView.h"
#include "app/StatusBar.h"
#include "app/TablePane.h"
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
    pluPane_ = std::make_unique<TablePane>(pluPaneLook(), accessTo(plu_), *this);
    ingredPane_ = std::make_unique<TablePane>(ingredPaneLook(), accessTo(ingred_), *this);
    statusBar_ = new StatusBar(this);
    setStatusBar(statusBar_);
    // The progress bar and "Cancel" are taller than the panels; made now, hidden, they give the
    // bar its height once, and the tabs do not move when a transfer begins or ends.
    TransferControls::of(*statusBar_);
    dlgFile = new FileDialog(this);
    buildTabs();
    buildMenus();
    Form_Load();
    for (TablePane* pane : panes()) {
        connect(pane, &TablePane::unsavedChanged, this, &frmMain::updateUnsavedMarks);
        connect(pane, &TablePane::exitChosen, this, &frmMain::mnuFileExit_Click);
        connect(pane, &TablePane::downloadRequested, this, [this, pane] { downloadFrom(*pane); });
        // A table replaced while the line is in use came from the scale: it is in no file.
        EditHistory* history = &pane->history();
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
    // The panes' histories watch the tables' grids and report to this window: they go while
    // both still exist.
    for (TablePane* pane : panes())
        pane->disconnect(this);
    pluPane_.reset();
    ingredPane_.reset();
}

void frmMain::Form_Load() {
    optCom1->setChecked(true);
    setPortButtons(PortState::Closed);

    for (TablePane* pane : panes())
        pane->start(); // an empty table, its count text in the status panel
    setSourcePath(QStringLiteral("?"));
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

void frmMain::showPage(QWidget* page) {
    SSTab->setCurrentWidget(page);
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
    for (TablePane* pane : panes())
        if (!pane->settleUnsaved())
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

void frmMain::mnuAbout_Click() {
    if (!about_)
        about_ = new frmAbout(this);
    about_->exec();
}
