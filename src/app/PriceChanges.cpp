#include "app/GridView.h"
#include "app/PriceChangeDialog.h"
#include "app/TablePane.h"
#include "app/frmMain.h"
#include "tables/GridEdit.h"

// "Change Prices..." on a grid with a unit price: the selected rows' unit prices changed by a
// percentage or an amount, rounded as the operator chose, previewed first and undone as one step.

void frmMain::changePrices(TablePane& pane) {
    GridView* grid = pane.grid();
    TextGrid& cells = pane.table().grid();
    grid->commitEdit();
    const QList<int> rows = grid->selectedGridRows();
    const int priceColumn = grid->priceColumn();
    if (rows.isEmpty() || priceColumn < 1)
        return;
    PriceChangeDialog dialog(cells, rows, priceColumn, this);
    const std::optional<PriceChange> change =
        priceChangeFunction_
            ? priceChangeFunction_(dialog)
            : (dialog.exec() == QDialog::Accepted ? dialog.change() : std::nullopt);
    if (!change)
        return;
    QList<GridEdit::Cell> changed;
    for (const PricePreviewRow& line : previewPriceChange(cells, rows, priceColumn, *change)) {
        if (!line.error.isEmpty())
            return; // the dialog offers no change that fails a row
        changed.append({line.row, priceColumn, line.before, line.after});
    }
    grid->applyEdit(setCellsEdit(cells, changed), QStringLiteral("Change Prices"));
}
