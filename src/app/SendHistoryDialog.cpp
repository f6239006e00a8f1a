#include "app/SendHistoryDialog.h"

#include "app/SendHistoryModel.h"
#include "async/Wake.h"
#include "files/FileBytes.h"
#include "journal/Journal.h"
#include "journal/JournalTime.h"
#include "journal/SentRowsFormat.h"
#include "spreadsheet/CsvWriter.h"
#include "tables/Records.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kAllScales = QStringLiteral("All scales");

QLineEdit* filterBox(const char* name, const QString& hint) {
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setPlaceholderText(hint);
    box->setClearButtonEnabled(true);
    return box;
}

std::unique_ptr<journal::Journal> openJournal(const QString& path, QString* error) {
    return journal::Journal::open(path, error, journal::Journal::Access::ReadOnly);
}

} // namespace

SendHistoryDialog::SendHistoryDialog(Hooks hooks, QWidget* parent)
    : QDialog(parent), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("frmSendHistory"));
    setWindowTitle(QStringLiteral("Send history"));

    path_ = new QLineEdit;
    path_->setObjectName(QStringLiteral("txtJournalPath"));
    path_->setReadOnly(true);
    auto* change = new QPushButton(QStringLiteral("Change..."));
    change->setObjectName(QStringLiteral("cmdJournalChange"));
    change->setToolTip(QStringLiteral("The file in which this window records its sends"));
    connect(change, &QPushButton::clicked, this, &SendHistoryDialog::changeJournal);
    auto* journalRow = new QHBoxLayout;
    journalRow->addWidget(path_, 1);
    journalRow->addWidget(change);

    scale_ = new QComboBox;
    scale_->setObjectName(QStringLiteral("cboHistoryScale"));
    scale_->setEditable(true);
    scale_->setInsertPolicy(QComboBox::NoInsert);
    scale_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    plu_ = filterBox("txtHistoryPlu", QStringLiteral("all"));
    since_ = filterBox("txtHistorySince", QStringLiteral("2024-05-01 or 2024-05-01T09:30Z"));
    until_ = filterBox("txtHistoryUntil", QStringLiteral("UTC; a date alone: the whole day"));
    auto* show = new QPushButton(QStringLiteral("Show"));
    show->setObjectName(QStringLiteral("cmdHistoryShow"));
    show->setDefault(true); // Enter in a filter box shows the rows
    connect(show, &QPushButton::clicked, this, &SendHistoryDialog::refresh);

    // One line of filters, so that the list keeps the room.
    auto* filters = new QHBoxLayout;
    for (auto [caption, box] : {std::pair<const char*, QWidget*>{"S&cale:", scale_},
                                {"&PLU:", plu_},
                                {"&Since:", since_},
                                {"&Until:", until_}}) {
        auto* label = new QLabel(QLatin1String(caption));
        label->setBuddy(box);
        filters->addWidget(label);
        filters->addWidget(box, box == scale_ ? 0 : 1);
    }
    plu_->setMaximumWidth(plu_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) * 2);
    filters->addWidget(show);
    auto* journalLabel = new QLabel(QStringLiteral("&Journal:"));
    journalLabel->setBuddy(path_);
    journalRow->insertWidget(0, journalLabel);

    model_ = new SendHistoryModel(this);
    view_ = new QTableView;
    view_->setObjectName(QStringLiteral("grdHistory"));
    view_->setAccessibleName(QStringLiteral("Rows sent"));
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->verticalHeader()->hide();
    view_->setWordWrap(false);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("lblHistoryStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdHistoryClose"));
    save_ = buttons->addButton(QStringLiteral("Save as CSV..."), QDialogButtonBox::ActionRole);
    save_->setObjectName(QStringLiteral("cmdHistorySaveCsv"));
    connect(save_, &QPushButton::clicked, this, &SendHistoryDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(journalRow);
    layout->addLayout(filters);
    layout->addWidget(view_, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    resize(960, 520);
}

void SendHistoryDialog::showHistory() {
    refresh();
    show();
    raise();
    activateWindow();
}

void SendHistoryDialog::say(const QString& text) {
    status_->setText(text);
}

std::optional<journal::RowFilter> SendHistoryDialog::filter() {
    journal::RowFilter filter;
    const QString scale = scale_->currentText().trimmed();
    if (scale != kAllScales)
        filter.scale = scale;
    if (const QString plu = plu_->text().trimmed(); !plu.isEmpty()) {
        bool ok = false;
        const int number = plu.toInt(&ok);
        if (!ok || number < 1 || number > PluRecord::kCapacity) {
            say(QStringLiteral("PLU: \"%1\" is not a PLU number (1 to %2)")
                    .arg(plu)
                    .arg(PluRecord::kCapacity));
            return std::nullopt;
        }
        filter.kind = pluKind().name;
        filter.number = number;
    }
    for (auto [box, end, title] :
         {std::tuple{since_, journal::PeriodEnd::Start, QStringLiteral("Since")},
          std::tuple{until_, journal::PeriodEnd::End, QStringLiteral("Until")}}) {
        if (box->text().trimmed().isEmpty())
            continue;
        QString error;
        const QDateTime time = journal::parseOperatorTime(box->text(), end, &error);
        if (!time.isValid()) {
            say(title + QStringLiteral(": ") + error);
            return std::nullopt;
        }
        (end == journal::PeriodEnd::Start ? filter.since : filter.until) = time;
    }
    return filter;
}

void SendHistoryDialog::refresh() {
    path_->setText(hooks_.journalPath());
    std::optional<journal::RowFilter> wanted = filter();
    if (!wanted)
        return;
    QString error;
    const std::unique_ptr<journal::Journal> journal = openJournal(path_->text(), &error);
    QStringList scales;
    QVector<QStringList> rows;
    bool more = false; // than are shown
    if (journal) {
        // One row more than shown tells that there are more, without counting them all.
        wanted->newestFirst = true;
        wanted->limit = kShownRows + 1;
        error = journal->scales(&scales);
        if (error.isEmpty())
            error = journal->sentRows(*wanted, [&](const journal::RowRecord& row) {
                more = rows.size() == kShownRows;
                if (!more)
                    rows.append(journal::sentRowCells(row));
                return !more;
            });
    }
    const QString chosen = scale_->currentText();
    scale_->clear();
    scale_->addItem(kAllScales);
    scale_->addItems(scales);
    scale_->setCurrentText(chosen.isEmpty() ? kAllScales : chosen);
    model_->setRows(journal::sentRowHeaders(), rows);
    view_->resizeColumnsToContents();
    if (!error.isEmpty())
        say(error);
    else if (more)
        say(QStringLiteral("The newest %1 rows sent; \"Save as CSV...\" writes every one.")
                .arg(kShownRows));
    else
        say(rows.size() == 1 ? QStringLiteral("1 row sent.")
                             : QStringLiteral("%1 rows sent.").arg(rows.size()));
}

void SendHistoryDialog::save() {
    std::optional<journal::RowFilter> wanted = filter();
    if (!wanted)
        return;
    const std::optional<QString> path = hooks_.choosePath(QStringLiteral("CSV File (*.csv)"));
    if (path)
        saving_ = saveRows(*path, *wanted);
}

async::Task<void> SendHistoryDialog::saveRows(QString path, journal::RowFilter filter) {
    save_->setEnabled(false);
    QString error;
    const std::unique_ptr<journal::Journal> journal = openJournal(hooks_.journalPath(), &error);
    AtomicFileWriter file(path);
    file.write(csvFileStart() + csvLine(journal::sentRowHeaders()).toUtf8() + "\r\n");
    filter.limit = kSavedRowsAtOnce;
    qint64 written = 0;
    for (bool more = bool(journal); more && error.isEmpty();) {
        QByteArray lines;
        qint64 read = 0;
        error = journal->sentRows(filter, [&](const journal::RowRecord& row) {
            lines += csvLine(journal::sentRowCells(row)).toUtf8() + "\r\n";
            filter.afterEntry = row.entry;
            ++read;
            return true;
        });
        file.write(lines);
        written += read;
        more = read == kSavedRowsAtOnce;
        if (more) {
            say(QStringLiteral("Saving: %1 rows written...").arg(written));
            async::Wake turn; // the event loop's turn before the next rows
            QTimer::singleShot(0, turn.context(), [&turn] { turn.fire(); });
            co_await turn;
        }
    }
    if (error.isEmpty())
        error = file.commit();
    const QString result = error.isEmpty()
                               ? QStringLiteral("Send history saved to %1").arg(path)
                               : QStringLiteral("Cannot save \"%1\": %2").arg(path, error);
    say(result);
    save_->setEnabled(true);
    Q_EMIT statusText(result);
}

// A journal the window cannot record in is refused before it becomes the setting; a new
// file becomes an empty journal at once.
void SendHistoryDialog::changeJournal() {
    const std::optional<QString> path =
        hooks_.choosePath(QStringLiteral("Send journal (*.sqlite)"));
    if (!path)
        return;
    QString error;
    if (!journal::Journal::open(*path, &error)) {
        say(error);
        return;
    }
    hooks_.setJournalPath(*path);
    refresh();
}
