#include "app/ScalesTab.h"

#include "app/AppInfo.h"
#include "app/CompareDialog.h"
#include "app/Controls.h"
#include "app/DownloadColumn.h"
#include "app/ScaleEditDialog.h"
#include "app/ScaleStateText.h"
#include "app/TablePane.h"
#include "jobs/ScaleJobs.h"
#include "jobs/ScaleList.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { ColName, ColPort, ColState, ColProgress };
constexpr int kJobRole = Qt::UserRole + 1; // the row's job, while it has one
const QString kListFilter = QStringLiteral("Scale list (*.txt)");

} // namespace

ScalesTab::ScalesTab(ScalesTabHost& host, const QList<TablePane*>& panes, QWidget* parent)
    : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("tabScales"));
    setAccessibleName(QStringLiteral("Scales"));
    grdScales_ = new QTreeWidget(this);
    grdScales_->setObjectName(QStringLiteral("grdScales"));
    grdScales_->setAccessibleName(QStringLiteral("Scales"));
    grdScales_->setRootIsDecorated(false);
    grdScales_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Port"),
                                 QStringLiteral("State"), QStringLiteral("Progress")});
    grdScales_->header()->setSectionResizeMode(ColState, QHeaderView::Stretch);
    grdScales_->header()->setStretchLastSection(false);
    grdScales_->setColumnWidth(ColName, 160);
    grdScales_->setColumnWidth(ColPort, 160);
    grdScales_->setColumnWidth(ColProgress, 160);

    cmdScaleAdd_ = controls::button(this, QStringLiteral("Add..."), QStringLiteral("cmdScaleAdd"));
    cmdScaleEdit_ =
        controls::button(this, QStringLiteral("Edit..."), QStringLiteral("cmdScaleEdit"));
    cmdScaleRemove_ =
        controls::button(this, QStringLiteral("Remove"), QStringLiteral("cmdScaleRemove"));
    cmdScalesImport_ =
        controls::button(this, QStringLiteral("Import list..."), QStringLiteral("cmdScalesImport"));
    cmdScalesExport_ =
        controls::button(this, QStringLiteral("Export list..."), QStringLiteral("cmdScalesExport"));
    for (TablePane* pane : panes) {
        const QString caption = pane->look().caption;
        QPushButton* send = controls::button(this, QStringLiteral("Send ") + caption,
                                             QStringLiteral("cmdSend") + caption);
        connect(send, &QPushButton::clicked, this, [this, pane] { sendTable(*pane); });
        sendButtons_.append(send);
    }
    chkScalesChangedOnly_ = new QCheckBox(QStringLiteral("Only changed rows"), this);
    chkScalesChangedOnly_->setObjectName(QStringLiteral("chkScalesChangedOnly"));
    chkScalesChangedOnly_->setToolTip(QStringLiteral(
        "Send each scale only the rows that differ from what the send journal says it holds"));
    cmdReadDisplays_ =
        controls::button(this, QStringLiteral("Read display"), QStringLiteral("cmdReadDisplays"));
    cmdScalesCompare_ =
        controls::button(this, QStringLiteral("Compare"), QStringLiteral("cmdScalesCompare"));
    cmdScalesCompare_->setToolTip(
        QStringLiteral("Read each ticked scale's PLUs and list what differs from the PLU table"));
    cmdScaleCancel_ =
        controls::button(this, QStringLiteral("Cancel"), QStringLiteral("cmdScaleCancel"));
    cmdScalesCancelAll_ =
        controls::button(this, QStringLiteral("Cancel all"), QStringLiteral("cmdScalesCancelAll"));

    auto* listButtons = new QHBoxLayout;
    for (QPushButton* button : {cmdScaleAdd_, cmdScaleEdit_, cmdScaleRemove_})
        listButtons->addWidget(button);
    listButtons->addStretch(1);
    listButtons->addWidget(cmdScalesImport_);
    listButtons->addWidget(cmdScalesExport_);
    auto* jobButtons = new QHBoxLayout;
    for (QPushButton* button :
         sendButtons_ + QList<QPushButton*>{cmdReadDisplays_, cmdScalesCompare_, cmdScaleCancel_,
                                            cmdScalesCancelAll_})
        jobButtons->addWidget(button);
    jobButtons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(listButtons);
    layout->addWidget(grdScales_, 1);
    layout->addLayout(jobButtons);
    layout->addWidget(chkScalesChangedOnly_); // below, so the window keeps its smallest width

    connect(cmdScaleAdd_, &QPushButton::clicked, this, &ScalesTab::addScale);
    connect(cmdScaleEdit_, &QPushButton::clicked, this, &ScalesTab::editScale);
    connect(cmdScaleRemove_, &QPushButton::clicked, this, &ScalesTab::removeScale);
    connect(cmdScalesImport_, &QPushButton::clicked, this, &ScalesTab::importList);
    connect(cmdScalesExport_, &QPushButton::clicked, this, &ScalesTab::exportList);
    connect(cmdReadDisplays_, &QPushButton::clicked, this, &ScalesTab::readDisplays);
    connect(cmdScalesCompare_, &QPushButton::clicked, this, &ScalesTab::compareTables);
    connect(cmdScaleCancel_, &QPushButton::clicked, this, &ScalesTab::cancelSelected);
    connect(cmdScalesCancelAll_, &QPushButton::clicked, this, &ScalesTab::cancelAll);
    connect(grdScales_, &QTreeWidget::currentItemChanged, this, &ScalesTab::updateButtons);
    connect(grdScales_, &QTreeWidget::itemChanged, this, [this] {
        if (!loading_)
            save(); // a tick set or cleared
    });

    entryFunction_ = [this](const ScaleEntry& start, const QList<ScaleEntry>& others,
                            std::function<void(const ScaleEntry&)> done) {
        ScaleEditDialog::ask(start, others, this, std::move(done));
    };
    load();
    updateButtons();
}

ScalesTab::~ScalesTab() = default;

QList<ScaleEntry> ScalesTab::scales() const {
    QList<ScaleEntry> list;
    for (int i = 0; i < grdScales_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = grdScales_->topLevelItem(i);
        list.append({row->text(ColName), row->text(ColPort)});
    }
    return list;
}

QList<ScaleEntry> ScalesTab::tickedScales() const {
    QList<ScaleEntry> list;
    for (int i = 0; i < grdScales_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = grdScales_->topLevelItem(i);
        if (row->checkState(ColName) == Qt::Checked)
            list.append({row->text(ColName), row->text(ColPort)});
    }
    return list;
}

void ScalesTab::addRow(const ScaleEntry& entry, bool ticked) {
    const bool wasLoading = std::exchange(loading_, true);
    auto* row = new QTreeWidgetItem(grdScales_, {entry.name, entry.port});
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(ColName, ticked ? Qt::Checked : Qt::Unchecked);
    loading_ = wasLoading;
}

void ScalesTab::addScale() {
    entryFunction_({}, scales(), [this](const ScaleEntry& entry) {
        const QString problem = scaleEntryProblem(entry, scales());
        if (!problem.isEmpty()) {
            host_.showStatus(problem);
            return;
        }
        addRow(entry, true);
        grdScales_->setCurrentItem(grdScales_->topLevelItem(grdScales_->topLevelItemCount() - 1));
        save();
    });
}

void ScalesTab::editScale() {
    QTreeWidgetItem* row = grdScales_->currentItem();
    if (!row || jobOf(row))
        return;
    QList<ScaleEntry> others = scales();
    const int index = grdScales_->indexOfTopLevelItem(row);
    const ScaleEntry start = others.takeAt(index);
    entryFunction_(start, others, [this, row, others](const ScaleEntry& entry) {
        const QString problem = scaleEntryProblem(entry, others);
        // The row may have gone, or got a job, while the dialog was open.
        if (grdScales_->indexOfTopLevelItem(row) < 0 || jobOf(row))
            return;
        if (!problem.isEmpty()) {
            host_.showStatus(problem);
            return;
        }
        const bool wasLoading = std::exchange(loading_, true);
        row->setText(ColName, entry.name);
        row->setText(ColPort, entry.port);
        loading_ = wasLoading;
        save();
    });
}

void ScalesTab::removeScale() {
    QTreeWidgetItem* row = grdScales_->currentItem();
    if (!row || jobOf(row))
        return;
    delete row;
    save();
    updateButtons();
}

void ScalesTab::importList() {
    if (jobs_ && jobs_->running())
        return;
    const std::optional<QString> path = pathFunction_(false, kListFilter);
    if (!path)
        return;
    const ScaleListResult list = readScaleList(*path);
    if (!list.ok()) {
        host_.showStatus(QStringLiteral("Cannot import \"%1\": %2").arg(*path, list.error));
        return;
    }
    // The file's list takes the place of the tab's, every scale ticked.
    grdScales_->clear();
    for (const ScaleEntry& entry : list.scales)
        addRow(entry, true);
    save();
    updateButtons();
    host_.showStatus(
        QStringLiteral("%1 scales imported from %2").arg(list.scales.size()).arg(*path));
}

void ScalesTab::exportList() {
    const std::optional<QString> path = pathFunction_(true, kListFilter);
    if (!path)
        return;
    const QString error = writeScaleList(*path, scales());
    host_.showStatus(
        error.isEmpty() ? QStringLiteral("%1 scales exported to %2").arg(scales().size()).arg(*path)
                        : QStringLiteral("Cannot export \"%1\": %2").arg(*path, error));
}

void ScalesTab::sendTable(TablePane& pane) {
    if (jobs_ && jobs_->running())
        return;
    // The unsaved edits are settled as a download settles them; each scale's backup file is
    // named after it.
    if (!pane.settleBeforeDownload())
        return;
    const DownloadColumn& column = *pane.downloadColumn();
    DownloadPlan plan = pane.table().planDownload(host_.sourcePath(), column.selection());
    if (plan.refused()) {
        host_.showStatus(plan.refusal);
        return;
    }
    startJobs(DownloadWork{std::move(plan), column.checks([this] { return host_.backupFolder(); }),
                           chkScalesChangedOnly_->isChecked()});
}

void ScalesTab::readDisplays() {
    if (jobs_ && jobs_->running())
        return;
    startJobs(DisplayWork{});
}

void ScalesTab::compareTables() {
    if (jobs_ && jobs_->running())
        return;
    // The jobs compare with the records as they are now; later edits do not reach them.
    auto table = std::make_shared<PluTable>();
    table->records = host_.comparedTable().records;
    table->count = host_.comparedTable().count;
    startJobs(CompareWork{std::move(table)});
}

void ScalesTab::showDifferences(const ScaleJob& job) {
    if (!job.result().succeeded() || job.differences().isEmpty())
        return;
    auto* dialog = new CompareDialog(
        this, [this] { return pathFunction_(true, QStringLiteral("CSV File (*.csv)")); });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &CompareDialog::statusText, this,
            [this](const QString& text) { host_.showStatus(text); });
    dialog->show(QStringLiteral("%1 (%2)").arg(job.scale().name, job.scale().port),
                 job.differences());
}

void ScalesTab::startJobs(const JobWork& work) {
    const QList<ScaleEntry> ticked = tickedScales();
    if (ticked.isEmpty()) {
        host_.showStatus(QStringLiteral("Tick the scales first"));
        return;
    }
    // A fresh group each time: the window's clock may have been replaced since the last.
    jobs_ = std::make_unique<ScaleJobs>(host_.clock(), host_.portNames());
    const bool oneStep = // no rows to count
        std::holds_alternative<DisplayWork>(work) || std::holds_alternative<CompareWork>(work);
    const bool compare = std::holds_alternative<CompareWork>(work);
    for (int i = 0; i < grdScales_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = grdScales_->topLevelItem(i);
        row->setData(ColName, kJobRole, {});
        row->setText(ColState, {});
        grdScales_->removeItemWidget(row, ColProgress);
    }
    const QString journal = host_.journalPath();
    const RunFacts facts = std::holds_alternative<DisplayWork>(work)
                               ? RunFacts{}
                               : RunFacts::ofFile(host_.sourcePath());
    connect(jobs_.get(), &ScaleJobs::jobStarted, this, [=, this](ScaleJob* job) {
        job->setJournal(journal, facts);
        QTreeWidgetItem* row = nullptr;
        for (int i = 0; i < grdScales_->topLevelItemCount() && !row; ++i)
            if (grdScales_->topLevelItem(i)->text(ColName) == job->scale().name)
                row = grdScales_->topLevelItem(i);
        if (!row)
            return;
        row->setData(ColName, kJobRole, QVariant::fromValue(static_cast<QObject*>(job)));
        job->setLineLog(&host_.lineLog()); // each line names its port
        auto* bar = new QProgressBar;
        bar->setObjectName(QStringLiteral("barScaleProgress"));
        bar->setRange(0, oneStep ? 1 : 0);
        bar->setTextVisible(!oneStep);
        bar->setFormat(QStringLiteral("%v of %m"));
        grdScales_->setItemWidget(row, ColProgress, bar);
        auto lastRetry = std::make_shared<int>(0);
        const auto refresh = [this, row, bar, job, oneStep, lastRetry] {
            const JobResult& result = job->result();
            if (oneStep) {
                bar->setValue(result.state == JobState::Done ? 1 : 0);
            } else if (result.ended() && result.rowsTotal == 0) {
                // Nothing was to be sent (every row unchanged): a range of nothing is a busy bar.
                bar->setMaximum(1);
                bar->setValue(1);
                bar->setFormat(QStringLiteral("0 of 0"));
            } else {
                bar->setMaximum(result.rowsTotal);
                bar->setValue(result.rowsDone);
            }
            const bool wasLoading = std::exchange(loading_, true);
            row->setText(ColState, scaleStateText(*job, *lastRetry));
            loading_ = wasLoading;
        };
        refresh();
        connect(job, &ScaleJob::retrying, bar, [refresh, lastRetry](int retry) {
            *lastRetry = retry;
            refresh();
        });
        connect(job, &ScaleJob::progressed, bar, refresh);
        connect(job, &ScaleJob::stateChanged, bar, refresh);
        connect(job, &ScaleJob::finished, this, &ScalesTab::updateButtons);
        if (compare)
            connect(job, &ScaleJob::finished, this, [this, job] { showDifferences(*job); });
        updateButtons(); // "Cancel all" works from the first wait of the first job on
    });
    connect(jobs_.get(), &ScaleJobs::allFinished, this, &ScalesTab::updateButtons);
    jobs_->startAll(ticked, work);
    updateButtons();
}

void ScalesTab::cancelSelected() {
    if (ScaleJob* job = jobOf(grdScales_->currentItem()))
        job->cancel();
}

void ScalesTab::cancelAll() {
    if (jobs_)
        jobs_->cancelAll();
}

ScaleJob* ScalesTab::jobOf(const QTreeWidgetItem* row) const {
    if (!row || !jobs_)
        return nullptr;
    auto* job = qobject_cast<ScaleJob*>(row->data(ColName, kJobRole).value<QObject*>());
    // Only a job of the current group that has not ended counts.
    for (const auto& current : jobs_->jobs())
        if (current.get() == job && !job->result().ended())
            return job;
    return nullptr;
}

void ScalesTab::updateButtons() {
    const bool running = jobs_ && jobs_->running();
    for (QPushButton* button :
         sendButtons_ + QList<QPushButton*>{cmdReadDisplays_, cmdScalesCompare_, cmdScalesImport_})
        button->setEnabled(!running);
    cmdScalesCancelAll_->setEnabled(running);
    QTreeWidgetItem* current = grdScales_->currentItem();
    const bool currentRuns = jobOf(current) != nullptr;
    cmdScaleCancel_->setEnabled(currentRuns);
    cmdScaleEdit_->setEnabled(current && !currentRuns);
    cmdScaleRemove_->setEnabled(current && !currentRuns);
}
