#include "app/GridView.h"

#include "tables/TextGrid.h"

#include <QHeaderView>

GridView::GridView(const QString& gridName, const QString& editBoxName, int rowLimit,
                   const QString& rowLimitMessage, QWidget* parent)
    : QTableView(parent), rowLimit_(rowLimit), rowLimitMessage_(rowLimitMessage) {
    setObjectName(gridName);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(20); // 300 twips at 96 dpi
    editBox_ = new QLineEdit(viewport());
    editBox_->setObjectName(editBoxName);
    editBox_->hide();
}

void GridView::setGrid(TextGrid* grid) {
    grid_ = grid;
    setModel(grid);
    connect(grid, &QAbstractItemModel::modelReset, this, &GridView::applyColumnWidths);
    applyColumnWidths();
}

void GridView::applyColumnWidths() {
    if (!grid_)
        return;
    const QFontMetrics metrics(font());
    const int padding = 2 * metrics.horizontalAdvance(QLatin1Char(' '));
    for (int c = 1; c < grid_->cols(); ++c) {
        const QString segment(grid_->segmentWidth(c), QLatin1Char('0'));
        setColumnWidth(c - 1, metrics.horizontalAdvance(segment) + padding);
    }
    verticalHeader()->setMinimumWidth(
        metrics.horizontalAdvance(QString(qMax(grid_->segmentWidth(0), 3), QLatin1Char('0'))) +
        padding);
}
