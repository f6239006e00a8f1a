#include "app/CompareDialog.h"

#include "files/FileBytes.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CompareDialog::CompareDialog(QWidget* parent, std::function<std::optional<QString>()> choosePath)
    : QDialog(parent), choosePath_(std::move(choosePath)) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Compare"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lblCompareSummary"));
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QStringLiteral("grdDifferences"));
    table_->setHorizontalHeaderLabels({QStringLiteral("PLU No"), QStringLiteral("Difference"),
                                       QStringLiteral("Table"), QStringLiteral("Scale")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(QStringLiteral("Differences"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* save = buttons->addButton(QStringLiteral("Save..."), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("cmdSaveDifferences"));
    connect(save, &QPushButton::clicked, this, &CompareDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(720, 420);
}

void CompareDialog::show(const QString& port, const QList<PluDifference>& differences) {
    differences_ = differences;
    summary_->setText(
        differences.isEmpty()
            ? QStringLiteral("The scale on %1 holds what the PLU table holds.").arg(port)
            : QStringLiteral("%1 differences between the PLU table and the scale on %2:")
                  .arg(differences.size())
                  .arg(port));
    table_->setRowCount(int(differences.size()));
    for (int row = 0; row < differences.size(); ++row) {
        const PluDifference& d = differences[row];
        const QStringList cells{QString::number(d.pluNo), differenceText(d), d.tableValue,
                                d.scaleValue};
        for (int col = 0; col < cells.size(); ++col)
            table_->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
    table_->resizeColumnsToContents();
    QDialog::show();
    raise();
}

void CompareDialog::save() {
    const std::optional<QString> path = choosePath_();
    if (!path)
        return;
    const QString error = writeFileAtomically(*path, differencesCsv(differences_));
    Q_EMIT statusText(error.isEmpty() ? QStringLiteral("Differences saved to %1").arg(*path)
                                      : QStringLiteral("Cannot save \"%1\": %2").arg(*path, error));
}
