#include "app/TablePane.h"

#include "app/DownloadColumn.h"
#include "app/EditHistory.h"
#include "app/FindBar.h"
#include "app/GridView.h"
#include "app/PaneHost.h"
#include "app/TableAccess.h"

#include <QPushButton>
#include <QVBoxLayout>

TablePane::TablePane(const TablePaneLook& look, std::unique_ptr<TableAccess> table, PaneHost& host,
                     QObject* parent)
    : QObject(parent), look_(look), table_(std::move(table)), host_(host) {
    history_ = new EditHistory(table_->grid(), this);
    connect(history_, &QUndoStack::cleanChanged, this, &TablePane::unsavedChanged);

    grid_ = new GridView(look.gridName, look.editBoxName, table_->rowLimit(), look.rowLimitMessage);
    grid_->setAccessibleName(look.caption);
    grid_->setGrid(&table_->grid());
    grid_->setHistory(history_);
    const QVector<FieldSpec>& fields = table_->kind().fields;
    for (int f = 0; f < fields.size(); ++f)
        if (fields[f].name == QLatin1String("UnitPrice"))
            grid_->setPriceColumn(f + 1); // grid columns count from 1 after the row numbers
    connect(grid_, &GridView::statusText, this,
            [this](const QString& text) { host_.showStatus(text); });

    page_ = new QWidget;
    page_->setObjectName(QStringLiteral("tab") + look.caption);
    page_->setAccessibleName(look.caption);
    auto* layout = new QVBoxLayout(page_);
    layout->addWidget(grid_, 1);
    layout->addWidget(new FindBar(grid_, page_));
}

TablePane::~TablePane() {
    // The undo stack signals as it is destroyed; nobody listens any more.
    history_->disconnect(this);
}

DownloadColumn* TablePane::addDownloadColumn(QWidget* page) {
    downloadColumn_ = new DownloadColumn(look_, page);
    connect(downloadColumn_->button(), &QPushButton::clicked, this, &TablePane::downloadRequested);
    return downloadColumn_;
}

void TablePane::start() {
    host_.showStatus(table_->reset());
    grid_->editBox()->hide();
    history_->markSaved(); // start-up is the first "open": nothing is unsaved yet
}

bool TablePane::unsaved() const {
    return history_->unsaved();
}

bool TablePane::settleUnsaved() {
    return settle(false);
}

bool TablePane::settleBeforeDownload() {
    return settle(true);
}

bool TablePane::settle(bool forDownload) {
    if (!history_->unsaved())
        return true;
    // "?" in "Source": no table was opened or saved since start-up, New or an upload, so there
    // is no last saved table to offer. The download refuses by itself, without a question.
    if (forDownload && host_.sourcePath() == QLatin1String("?"))
        return true;
    const SavePrompt prompt =
        forDownload ? SavePrompt{look_.words.downloadNotice, QStringLiteral("Save and Send"),
                                 QStringLiteral("Send Last Saved")}
                    : SavePrompt{look_.words.saveQuestion, QStringLiteral("Save"),
                                 QStringLiteral("Discard")};
    switch (host_.askAboutUnsaved(prompt)) {
    case SavePrompt::Answer::Save:
        return save();
    case SavePrompt::Answer::Discard:
        return true;
    case SavePrompt::Answer::Cancel:
        break;
    }
    return false;
}

void TablePane::showCell(int row, int col) {
    host_.showPage(page_);
    grid_->selectBlock(row, col, 1, 1);
    grid_->setFocus();
}
