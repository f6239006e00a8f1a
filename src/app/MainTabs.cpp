#include "app/frmMain.h"

#include "app/Controls.h"
#include "app/DownloadColumn.h"
#include "app/FileDialog.h"
#include "app/GridView.h"
#include "app/PortComboBox.h"
#include "app/ScalesTab.h"
#include "app/TablePane.h"

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

// The layout of the tabs around the panes' grid pages and download columns, and the "Source"
// row. Every control gets its objectName and an accessible name: its caption, or for a box
// the label or option beside it.

void frmMain::buildTabs() {
    SSTab = new QTabWidget;
    SSTab->setObjectName(QStringLiteral("SSTab"));
    SSTab->setAccessibleName(QStringLiteral("Tabs"));
    SSTab->addTab(buildPortTab(), QStringLiteral("Port"));
    SSTab->addTab(buildDisplayTab(), QStringLiteral("Display"));
    SSTab->addTab(pluPane_->page(), pluPane_->look().caption);
    SSTab->addTab(buildDownloadTab(), QStringLiteral("Download"));
    SSTab->addTab(buildUploadTab(), QStringLiteral("Upload"));
    // A further table kind's grid goes after the earlier kinds', before "Scales".
    for (TablePane* pane : panes().mid(1))
        SSTab->addTab(pane->page(), pane->look().caption);
    auto* scales = new ScalesTab(*this, panes(), SSTab);
    connect(this, &frmMain::exitRequested, scales, &ScalesTab::cancelAll);
    SSTab->addTab(scales, QStringLiteral("Scales"));
    for (TablePane* pane : panes())
        connect(pane->grid(), &GridView::changePricesRequested, this,
                [this, pane] { changePrices(*pane); });

    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("Central"));
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(SSTab, 1);
    layout->addWidget(buildSourceRow());
    setCentralWidget(central);
}

QWidget* frmMain::buildPortTab() {
    QWidget* page = controls::page(QStringLiteral("tabPort"), QStringLiteral("Port"));
    QGroupBox* frame =
        controls::frame(page, QStringLiteral("Port No"), QStringLiteral("fraPortNo"));
    optCom1 = controls::option(frame, QStringLiteral("Com1"), QStringLiteral("optCom1"));
    optCom2 = controls::option(frame, QStringLiteral("Com2"), QStringLiteral("optCom2"));
    optComOther = controls::option(frame, QStringLiteral("Other"), QStringLiteral("optComOther"));
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

    cmdPortOpen = controls::button(page, QStringLiteral("Open"), QStringLiteral("cmdPortOpen"));
    cmdPortClose = controls::button(page, QStringLiteral("Close"), QStringLiteral("cmdPortClose"));
    connect(cmdPortOpen, &QPushButton::clicked, this, &frmMain::cmdPortOpen_Click);
    connect(cmdPortClose, &QPushButton::clicked, this, &frmMain::cmdPortClose_Click);
    controls::topRows(page,
                      {controls::leftRow({frame}), controls::leftRow({cmdPortOpen, cmdPortClose})});
    return page;
}

QWidget* frmMain::buildDisplayTab() {
    QWidget* page = controls::page(QStringLiteral("tabDisplay"), QStringLiteral("Display"));
    QGroupBox* frame = controls::frame(page, QStringLiteral("Window"), QStringLiteral("fraWindow"));
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
        controls::label(frame, QStringLiteral("Weight"), QStringLiteral("lblWeight"), txtWeight), 0,
        0);
    grid->addWidget(txtWeight, 0, 1);
    grid->addWidget(controls::label(frame, QStringLiteral("Unit"), QStringLiteral("lblUnitPrice"),
                                    txtUnitPrice),
                    1, 0);
    grid->addWidget(txtUnitPrice, 1, 1);
    grid->addWidget(controls::label(frame, QStringLiteral("Price"), QStringLiteral("lblTotalPrice"),
                                    txtTotalPrice),
                    2, 0);
    grid->addWidget(txtTotalPrice, 2, 1);
    // "Update" belongs to the frame whose three boxes it fills.
    cmdVFDUpdate =
        controls::button(frame, QStringLiteral("Update"), QStringLiteral("cmdVFDUpdate"));
    connect(cmdVFDUpdate, &QPushButton::clicked, this, &frmMain::cmdVFDUpdate_Click);
    grid->addWidget(cmdVFDUpdate, 3, 1, Qt::AlignRight);

    controls::topRows(page, {controls::leftRow({frame})});
    return page;
}

QWidget* frmMain::buildDownloadTab() {
    QWidget* tab = controls::page(QStringLiteral("tabDownload"), QStringLiteral("Download"));
    auto* columns = new QHBoxLayout;
    for (TablePane* pane : panes()) {
        if (pane != panes().first())
            columns->addSpacing(24);
        columns->addWidget(pane->addDownloadColumn(tab));
    }
    columns->addStretch(1);
    chkDownChangedOnly = new QCheckBox(QStringLiteral("Only changed rows"), tab);
    chkDownChangedOnly->setObjectName(QStringLiteral("chkDownChangedOnly"));
    chkDownChangedOnly->setToolTip(QStringLiteral(
        "Of the rows chosen, send only those that differ from what the send journal says the "
        "scale holds"));
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(columns);
    layout->addWidget(chkDownChangedOnly); // every download
    layout->addStretch(1);

    // Tab meets every column's range first, then the read-back options, then the box below.
    QList<QWidget*> order;
    for (TablePane* pane : panes())
        order += pane->downloadColumn()->rangeControls();
    for (TablePane* pane : panes())
        order += pane->downloadColumn()->readBackControls();
    order.append(chkDownChangedOnly);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return tab;
}

QWidget* frmMain::buildUploadTab() {
    QWidget* page = controls::page(QStringLiteral("tabUpload"), QStringLiteral("Upload"));
    cmdPLUUpload = controls::button(page, QStringLiteral("Upload"), QStringLiteral("cmdPLUUpload"));
    connect(cmdPLUUpload, &QPushButton::clicked, this, &frmMain::cmdPLUUpload_Click);
    cmdPLUCompare =
        controls::button(page, QStringLiteral("Compare"), QStringLiteral("cmdPLUCompare"));
    cmdPLUCompare->setToolTip(
        QStringLiteral("Read the scale's PLUs and list what differs from the PLU table"));
    connect(cmdPLUCompare, &QPushButton::clicked, this, &frmMain::cmdPLUCompare_Click);
    QGroupBox* frame =
        controls::frame(page, QStringLiteral("Upload Option"), QStringLiteral("fraUploadOption"));
    optUpOnePLU = controls::option(frame, QStringLiteral("One PLU"), QStringLiteral("optUpOnePLU"));
    optUpAllPLU = controls::option(frame, QStringLiteral("All PLU"), QStringLiteral("optUpAllPLU"));
    txtUpOnePluNo = controls::numberBox(frame, QStringLiteral("txtUpOnePluNo"),
                                        QStringLiteral("One PLU"), QStringLiteral("1"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(optUpOnePLU, 0, 0);
    grid->addWidget(txtUpOnePluNo, 0, 1);
    grid->addWidget(optUpAllPLU, 1, 0);
    grid->setColumnStretch(2, 1);

    controls::topRows(
        page, {controls::leftRow({cmdPLUUpload, cmdPLUCompare}), controls::leftRow({frame})});
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
        controls::label(row, QStringLiteral("Source"), QStringLiteral("lblSource"), txtFilePath));
    layout->addWidget(txtFilePath, 1);
    // The unsaved mark stays out of the box, which holds the path alone.
    lblUnsaved = new QLabel(row);
    lblUnsaved->setObjectName(QStringLiteral("lblUnsaved"));
    lblUnsaved->hide();
    layout->addWidget(lblUnsaved);
    return row;
}
