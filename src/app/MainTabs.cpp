#include "app/frmMain.h"
#include "jobs/CheckedDownload.h"

#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/FindBar.h"
#include "app/GridView.h"
#include "app/PortComboBox.h"
#include "app/ScalesTab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

// The layout of the six tabs and the "Source" row. Every control gets its objectName and
// an accessible name: its caption, or for a box the label or option beside it.

namespace {

QPushButton* makeButton(QWidget* parent, const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption.trimmed());
    return button;
}

QRadioButton* makeOption(QWidget* parent, const QString& caption, const QString& name) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    option->setAccessibleName(caption);
    return option;
}

// A number box beside an option, wide enough for a record number.
QLineEdit* makeNumberBox(QWidget* parent, const QString& name, const QString& accessibleName,
                         const QString& text) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    return box;
}

QLabel* makeLabel(QWidget* parent, const QString& caption, const QString& name, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QGroupBox* makeFrame(QWidget* parent, const QString& caption, const QString& name) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setAccessibleName(caption);
    return frame;
}

// One download frame: "One X" with its box, "Multiple X" with from "To" to, "ALL X".
struct RangeNames {
    QString frame, one, multiple, all, oneNo, startNo, endNo, to;
};

struct RangeFrame {
    QGroupBox* frame;
    QRadioButton* one;
    QRadioButton* multiple;
    QRadioButton* all;
    QLineEdit* oneNo;
    QLineEdit* startNo;
    QLineEdit* endNo;
};

RangeFrame makeRangeFrame(QWidget* parent, const QString& title, const QString& what,
                          const RangeNames& names) {
    RangeFrame f;
    f.frame = makeFrame(parent, title, names.frame);
    const QString oneCaption = QStringLiteral("One ") + what;
    const QString multipleCaption = QStringLiteral("Multiple ") + what;
    f.one = makeOption(f.frame, oneCaption, names.one);
    f.multiple = makeOption(f.frame, multipleCaption, names.multiple);
    f.all = makeOption(f.frame, QStringLiteral("ALL ") + what, names.all);
    f.oneNo = makeNumberBox(f.frame, names.oneNo, oneCaption, QStringLiteral("1"));
    f.startNo = makeNumberBox(f.frame, names.startNo, multipleCaption, QStringLiteral("1"));
    f.endNo = makeNumberBox(f.frame, names.endNo, multipleCaption + QStringLiteral(" To"),
                            QStringLiteral("2"));
    QLabel* to = makeLabel(f.frame, QStringLiteral("To"), names.to, f.endNo);

    auto* grid = new QGridLayout(f.frame);
    grid->addWidget(f.one, 0, 0);
    grid->addWidget(f.oneNo, 0, 1);
    grid->addWidget(f.multiple, 1, 0);
    grid->addWidget(f.startNo, 1, 1);
    grid->addWidget(to, 1, 2);
    grid->addWidget(f.endNo, 1, 3);
    grid->addWidget(f.all, 2, 0);
    grid->setColumnStretch(4, 1);
    return f;
}

QWidget* makePage(const QString& name, const QString& caption) {
    auto* page = new QWidget;
    page->setObjectName(name);
    page->setAccessibleName(caption);
    return page;
}

} // namespace

void frmMain::buildTabs() {
    SSTab = new QTabWidget;
    SSTab->setObjectName(QStringLiteral("SSTab"));
    SSTab->setAccessibleName(QStringLiteral("Tabs"));
    SSTab->addTab(buildPortTab(), QStringLiteral("Port"));
    SSTab->addTab(buildDisplayTab(), QStringLiteral("Display"));
    grdPLU = new GridView(QStringLiteral("grdPLU"), QStringLiteral("txtEditGrid"),
                          PluTable::kRowLimit, QStringLiteral(" Error ! PLU No is over "));
    grdPLU->setAccessibleName(QStringLiteral("PLU"));
    SSTab->addTab(buildGridTab(grdPLU), QStringLiteral("PLU"));
    SSTab->addTab(buildDownloadTab(), QStringLiteral("Download"));
    SSTab->addTab(buildUploadTab(), QStringLiteral("Upload"));
    grdINGRED =
        new GridView(QStringLiteral("grdINGRED"), QStringLiteral("txtEditGrid1"),
                     IngredTable::kRowLimit, QStringLiteral(" Error ! Message No is over "));
    grdINGRED->setAccessibleName(QStringLiteral("INGRED"));
    SSTab->addTab(buildGridTab(grdINGRED), QStringLiteral("INGRED"));
    auto* scales = new ScalesTab(*this, SSTab);
    scales->setPathFunction([this](bool forSaving, const QString& filter) {
        return forSaving ? dlgFile->getSaveFileName(filter) : dlgFile->getOpenFileName(filter);
    });
    SSTab->addTab(scales, QStringLiteral("Scales"));

    grdPLU->setGrid(&plu_.grid);
    grdINGRED->setGrid(&ingred_.grid);
    grdPLU->setHistory(pluHistory_);
    grdINGRED->setHistory(ingredHistory_);
    const QVector<FieldSpec>& pluFields = PluTable::kind().fields;
    for (int f = 0; f < pluFields.size(); ++f)
        if (pluFields[f].name == QLatin1String("UnitPrice"))
            grdPLU->setPriceColumn(f + 1); // grid columns count from 1 after the row numbers
    connect(grdPLU, &GridView::statusText, this, &frmMain::showStatus);
    connect(grdINGRED, &GridView::statusText, this, &frmMain::showStatus);
    connect(grdPLU, &GridView::changePricesRequested, this, &frmMain::changePrices);

    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("Central"));
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(SSTab, 1);
    layout->addWidget(buildSourceRow());
    setCentralWidget(central);
}

QWidget* frmMain::buildPortTab() {
    QWidget* page = makePage(QStringLiteral("tabPort"), QStringLiteral("Port"));
    QGroupBox* frame = makeFrame(page, QStringLiteral("Port No"), QStringLiteral("fraPortNo"));
    optCom1 = makeOption(frame, QStringLiteral("Com1"), QStringLiteral("optCom1"));
    optCom2 = makeOption(frame, QStringLiteral("Com2"), QStringLiteral("optCom2"));
    optComOther = makeOption(frame, QStringLiteral("Other"), QStringLiteral("optComOther"));
    cboComOther = new PortComboBox(frame);
    cboComOther->setObjectName(QStringLiteral("cboComOther"));
    cboComOther->setAccessibleName(QStringLiteral("Other"));
    cboComOther->lineEdit()->setAccessibleName(QStringLiteral("Other"));
    // Choosing or typing a port beside "Other" means "Other".
    connect(cboComOther, &PortComboBox::portChosen, optComOther,
            [this] { optComOther->setChecked(true); });

    auto* options = new QGridLayout(frame);
    options->addWidget(optCom1, 0, 0);
    options->addWidget(optCom2, 1, 0);
    options->addWidget(optComOther, 2, 0);
    options->addWidget(cboComOther, 2, 1);
    options->setColumnStretch(1, 1);

    cmdPortOpen = makeButton(page, QStringLiteral("Open"), QStringLiteral("cmdPortOpen"));
    cmdPortClose = makeButton(page, QStringLiteral("Close"), QStringLiteral("cmdPortClose"));
    connect(cmdPortOpen, &QPushButton::clicked, this, &frmMain::cmdPortOpen_Click);
    connect(cmdPortClose, &QPushButton::clicked, this, &frmMain::cmdPortClose_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPortOpen);
    buttons->addWidget(cmdPortClose);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    row->addWidget(frame);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addLayout(buttons);
    layout->addStretch(1);
    return page;
}

QWidget* frmMain::buildDisplayTab() {
    QWidget* page = makePage(QStringLiteral("tabDisplay"), QStringLiteral("Display"));
    QGroupBox* frame = makeFrame(page, QStringLiteral("Window"), QStringLiteral("fraWindow"));
    auto readout = [frame](const QString& name, const QString& caption) {
        auto* box = new QLineEdit(QStringLiteral("0"), frame);
        box->setObjectName(name);
        box->setAccessibleName(caption);
        box->setReadOnly(true);
        box->setAlignment(Qt::AlignRight);
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 14);
        return box;
    };
    txtWeight = readout(QStringLiteral("txtWeight"), QStringLiteral("Weight"));
    txtUnitPrice = readout(QStringLiteral("txtUnitPrice"), QStringLiteral("Unit"));
    txtTotalPrice = readout(QStringLiteral("txtTotalPrice"), QStringLiteral("Price"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(
        makeLabel(frame, QStringLiteral("Weight"), QStringLiteral("lblWeight"), txtWeight), 0, 0);
    grid->addWidget(txtWeight, 0, 1);
    grid->addWidget(
        makeLabel(frame, QStringLiteral("Unit"), QStringLiteral("lblUnitPrice"), txtUnitPrice), 1,
        0);
    grid->addWidget(txtUnitPrice, 1, 1);
    grid->addWidget(
        makeLabel(frame, QStringLiteral("Price"), QStringLiteral("lblTotalPrice"), txtTotalPrice),
        2, 0);
    grid->addWidget(txtTotalPrice, 2, 1);
    // "Update" belongs to the frame whose three boxes it fills.
    cmdVFDUpdate = makeButton(frame, QStringLiteral("Update"), QStringLiteral("cmdVFDUpdate"));
    connect(cmdVFDUpdate, &QPushButton::clicked, this, &frmMain::cmdVFDUpdate_Click);
    grid->addWidget(cmdVFDUpdate, 3, 1, Qt::AlignRight);

    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    row->addWidget(frame);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
    return page;
}

QWidget* frmMain::buildDownloadTab() {
    QWidget* page = makePage(QStringLiteral("tabDownload"), QStringLiteral("Download"));
    cmdPLUDownload =
        makeButton(page, QStringLiteral(" PLU Download"), QStringLiteral("cmdPLUDownload"));
    const RangeFrame plu =
        makeRangeFrame(page, QStringLiteral("PLU Download Option"), QStringLiteral("PLU"),
                       {QStringLiteral("fraDownPLUOption"), QStringLiteral("optDownOnePLU"),
                        QStringLiteral("optDownMultiplePLU"), QStringLiteral("optDownAllPLU"),
                        QStringLiteral("txtDownOnePluNo"), QStringLiteral("txtDownStartPluNo"),
                        QStringLiteral("txtDownEndPluNo"), QStringLiteral("lblDownPluTo")});
    cmdINGREDDownload =
        makeButton(page, QStringLiteral("INGRED Download"), QStringLiteral("cmdINGREDDownload"));
    const RangeFrame ingred = makeRangeFrame(
        page, QStringLiteral("INGRED Download Option"), QStringLiteral("INGRED"),
        {QStringLiteral("fraDownINGREDOption"), QStringLiteral("optDownOneINGRED"),
         QStringLiteral("optDownMultipleINGRED"), QStringLiteral("optDownAllINGRED"),
         QStringLiteral("txtDownOneIngredNo"), QStringLiteral("txtDownStartIngredNo"),
         QStringLiteral("txtDownEndIngredNo"), QStringLiteral("lblDownIngredTo")});
    connect(cmdPLUDownload, &QPushButton::clicked, this, &frmMain::cmdPLUDownload_Click);
    connect(cmdINGREDDownload, &QPushButton::clicked, this, &frmMain::cmdINGREDDownload_Click);

    // Beside the PLU download: read the sent PLUs back; before "ALL PLU": back the scale up.
    chkDownVerifyPLU = new QCheckBox(QStringLiteral("Verify"), page);
    chkDownVerifyPLU->setObjectName(QStringLiteral("chkDownVerifyPLU"));
    chkDownVerifyPLU->setToolTip(
        QStringLiteral("After sending, read each PLU back from the scale and compare it"));
    chkDownBackupPLU = new QCheckBox(QStringLiteral("Back up the scale first"), plu.frame);
    chkDownBackupPLU->setObjectName(QStringLiteral("chkDownBackupPLU"));
    chkDownBackupPLU->setToolTip(
        QStringLiteral("Before ALL PLU, save the scale's PLU table in a file of its own"));
    chkDownBackupPLU->setEnabled(false);
    connect(plu.all, &QRadioButton::toggled, chkDownBackupPLU, &QWidget::setEnabled);
    static_cast<QGridLayout*>(plu.frame->layout())->addWidget(chkDownBackupPLU, 2, 1, 1, 3);
    chkDownChangedOnly = new QCheckBox(QStringLiteral("Only changed rows"), page);
    chkDownChangedOnly->setObjectName(QStringLiteral("chkDownChangedOnly"));
    chkDownChangedOnly->setToolTip(QStringLiteral(
        "Of the rows chosen, send only those that differ from what the send journal says the "
        "scale holds"));
    auto* noVerify = new QLabel(kIngredCannotBeVerified, page);
    noVerify->setObjectName(QStringLiteral("lblIngredNoVerify"));
    noVerify->setWordWrap(true);
    noVerify->setMaximumWidth(320);

    optDownOnePLU = plu.one;
    optDownMultiplePLU = plu.multiple;
    optDownAllPLU = plu.all;
    txtDownOnePluNo = plu.oneNo;
    txtDownStartPluNo = plu.startNo;
    txtDownEndPluNo = plu.endNo;
    optDownOneINGRED = ingred.one;
    optDownMultipleINGRED = ingred.multiple;
    optDownAllINGRED = ingred.all;
    txtDownOneIngredNo = ingred.oneNo;
    txtDownStartIngredNo = ingred.startNo;
    txtDownEndIngredNo = ingred.endNo;

    auto column = [](QPushButton* button, QWidget* beside, QGroupBox* frame, QWidget* below) {
        auto* layout = new QVBoxLayout;
        auto* buttonRow = new QHBoxLayout;
        buttonRow->addWidget(button);
        if (beside)
            buttonRow->addWidget(beside);
        buttonRow->addStretch(1);
        layout->addLayout(buttonRow);
        layout->addWidget(frame);
        if (below)
            layout->addWidget(below);
        layout->addStretch(1);
        return layout;
    };
    auto* columns = new QHBoxLayout;
    columns->addLayout(column(cmdPLUDownload, chkDownVerifyPLU, plu.frame, nullptr));
    columns->addSpacing(24);
    columns->addLayout(column(cmdINGREDDownload, nullptr, ingred.frame, noVerify));
    columns->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns);
    layout->addWidget(chkDownChangedOnly); // both downloads
    layout->addStretch(1);
    return page;
}

QWidget* frmMain::buildUploadTab() {
    QWidget* page = makePage(QStringLiteral("tabUpload"), QStringLiteral("Upload"));
    cmdPLUUpload = makeButton(page, QStringLiteral("Upload"), QStringLiteral("cmdPLUUpload"));
    connect(cmdPLUUpload, &QPushButton::clicked, this, &frmMain::cmdPLUUpload_Click);
    cmdPLUCompare = makeButton(page, QStringLiteral("Compare"), QStringLiteral("cmdPLUCompare"));
    cmdPLUCompare->setToolTip(
        QStringLiteral("Read the scale's PLUs and list what differs from the PLU table"));
    connect(cmdPLUCompare, &QPushButton::clicked, this, &frmMain::cmdPLUCompare_Click);
    QGroupBox* frame =
        makeFrame(page, QStringLiteral("Upload Option"), QStringLiteral("fraUploadOption"));
    optUpOnePLU = makeOption(frame, QStringLiteral("One PLU"), QStringLiteral("optUpOnePLU"));
    optUpAllPLU = makeOption(frame, QStringLiteral("All PLU"), QStringLiteral("optUpAllPLU"));
    txtUpOnePluNo = makeNumberBox(frame, QStringLiteral("txtUpOnePluNo"), QStringLiteral("One PLU"),
                                  QStringLiteral("1"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(optUpOnePLU, 0, 0);
    grid->addWidget(txtUpOnePluNo, 0, 1);
    grid->addWidget(optUpAllPLU, 1, 0);
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(page);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(cmdPLUUpload);
    buttonRow->addWidget(cmdPLUCompare);
    buttonRow->addStretch(1);
    layout->addLayout(buttonRow);
    auto* frameRow = new QHBoxLayout;
    frameRow->addWidget(frame);
    frameRow->addStretch(1);
    layout->addLayout(frameRow);
    layout->addStretch(1);
    return page;
}

QWidget* frmMain::buildGridTab(GridView* grid) {
    const QString caption = grid->accessibleName();
    QWidget* page = makePage(QStringLiteral("tab") + caption, caption);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(grid, 1);
    layout->addWidget(new FindBar(grid, page));
    return page;
}

QWidget* frmMain::buildSourceRow() {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("SourceRow"));
    txtFilePath = new QLineEdit(row);
    txtFilePath->setObjectName(QStringLiteral("txtFilePath"));
    txtFilePath->setAccessibleName(QStringLiteral("Source"));
    txtFilePath->setReadOnly(true);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        makeLabel(row, QStringLiteral("Source"), QStringLiteral("lblSource"), txtFilePath));
    layout->addWidget(txtFilePath, 1);
    // The unsaved mark stays out of the box, which holds the path alone.
    lblUnsaved = new QLabel(row);
    lblUnsaved->setObjectName(QStringLiteral("lblUnsaved"));
    lblUnsaved->hide();
    layout->addWidget(lblUnsaved);
    return row;
}
