#include "app/PriceChangeDialog.h"
#include "app/Controls.h"

#include "tables/TextGrid.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
// The PLU grid's columns that name a row in the preview.
constexpr int kPluNoColumn = 1;
constexpr int kNameColumn = 3;
} // namespace

QList<QPair<QString, PriceRounding>> PriceChangeDialog::roundings() {
    return {
        {QStringLiteral("none (to 1)"), {1, 0}},
        {QStringLiteral("to 5"), {5, 0}},
        {QStringLiteral("to 10"), {10, 0}},
        {QStringLiteral("to 50"), {50, 0}},
        {QStringLiteral("to 100"), {100, 0}},
        {QStringLiteral("to 9 at the end"), {10, 9}},
        {QStringLiteral("to 5 at the end"), {10, 5}},
        {QStringLiteral("to 99 at the end"), {100, 99}},
        {QStringLiteral("to 95 at the end"), {100, 95}},
    };
}

PriceChangeDialog::PriceChangeDialog(const TextGrid& grid, const QList<int>& rows, int priceColumn,
                                     QWidget* parent)
    : QDialog(parent), grid_(grid), rows_(rows), priceColumn_(priceColumn) {
    setObjectName(QStringLiteral("frmPriceChange"));
    setWindowTitle(QStringLiteral("Change Prices"));

    optPercent = new QRadioButton(QStringLiteral("By percent"), this);
    optPercent->setObjectName(QStringLiteral("optByPercent"));
    optAmount = new QRadioButton(QStringLiteral("By amount"), this);
    optAmount->setObjectName(QStringLiteral("optByAmount"));
    optPercent->setChecked(true);
    txtChangeBy = new QLineEdit(this);
    txtChangeBy->setObjectName(QStringLiteral("txtChangeBy"));
    txtChangeBy->setAccessibleName(QStringLiteral("Change by"));
    txtChangeBy->setPlaceholderText(QStringLiteral("e.g. 10 or -5"));
    cboRounding = new QComboBox(this);
    cboRounding->setObjectName(QStringLiteral("cboRounding"));
    cboRounding->setAccessibleName(QStringLiteral("Round"));
    for (const auto& [caption, rounding] : roundings())
        cboRounding->addItem(caption);

    grdPreview = new QTableWidget(0, 5, this);
    grdPreview->setObjectName(QStringLiteral("grdPreview"));
    grdPreview->setAccessibleName(QStringLiteral("Preview"));
    grdPreview->setHorizontalHeaderLabels({QStringLiteral("Row"), QStringLiteral("PLU No"),
                                           QStringLiteral("Item name1"), QStringLiteral("U/Price"),
                                           QStringLiteral("New U/Price")});
    grdPreview->verticalHeader()->hide();
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPreview->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    lblProblem = new QLabel(this);
    lblProblem->setObjectName(QStringLiteral("lblProblem"));
    lblProblem->setWordWrap(true);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    applyButton()->setText(QStringLiteral("Apply"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Change"), controls::leftRow({optPercent, optAmount}));
    form->addRow(QStringLiteral("By"), txtChangeBy);
    form->addRow(QStringLiteral("Round"), cboRounding);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(grdPreview, 1);
    layout->addWidget(lblProblem);
    layout->addWidget(buttons_);
    resize(560, 420);

    connect(optPercent, &QRadioButton::toggled, this, &PriceChangeDialog::updatePreview);
    connect(txtChangeBy, &QLineEdit::textChanged, this, &PriceChangeDialog::updatePreview);
    connect(cboRounding, &QComboBox::currentIndexChanged, this, &PriceChangeDialog::updatePreview);
    updatePreview();
    txtChangeBy->setFocus(); // the one thing to type
}

QPushButton* PriceChangeDialog::applyButton() const {
    return buttons_->button(QDialogButtonBox::Ok);
}

QString PriceChangeDialog::problem() const {
    return lblProblem->text();
}

std::optional<PriceChange> PriceChangeDialog::change() const {
    return change_;
}

void PriceChangeDialog::updatePreview() {
    const PriceChange::Kind kind =
        optPercent->isChecked() ? PriceChange::Kind::Percent : PriceChange::Kind::Amount;
    const PriceRounding rounding = roundings().value(cboRounding->currentIndex()).second;
    QString problem;
    const std::optional<PriceChange> entered =
        parsePriceChange(kind, txtChangeBy->text(), rounding, &problem);
    // Without a valid entry the preview shows the prices unchanged.
    const PriceChange shown = entered.value_or(PriceChange{kind, 0, {1, 0}});
    preview_ = previewPriceChange(grid_, rows_, priceColumn_, shown);

    grdPreview->setRowCount(int(preview_.size()));
    for (int i = 0; i < preview_.size(); ++i) {
        const PricePreviewRow& line = preview_[i];
        const QStringList texts{QString::number(line.row), grid_.text(line.row, kPluNoColumn),
                                grid_.text(line.row, kNameColumn), line.before,
                                entered ? (line.error.isEmpty() ? line.after : line.error)
                                        : QString()};
        for (int col = 0; col < texts.size(); ++col)
            grdPreview->setItem(i, col, new QTableWidgetItem(texts[col]));
        if (entered && problem.isEmpty() && !line.error.isEmpty())
            problem = QStringLiteral("Row %1: %2").arg(line.row).arg(line.error);
    }
    if (preview_.isEmpty())
        problem = QStringLiteral("None of the selected rows has a price.");
    if (txtChangeBy->text().trimmed().isEmpty() && !preview_.isEmpty())
        problem.clear(); // nothing entered yet: nothing to complain about
    change_ = problem.isEmpty() ? entered : std::nullopt;
    lblProblem->setText(problem);
    applyButton()->setEnabled(change_.has_value());
}
