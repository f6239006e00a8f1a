#include "app/GridView.h"
#include "app/PriceChangeDialog.h"
#include "app/frmMain.h"
#include "tables/GridEdit.h"

// "Change Prices..." on tab "PLU": the selected rows' unit prices changed by a percentage or
// an amount, rounded as the operator chose, previewed first and undone as one step.

void frmMain::changePrices() {
    grdPLU->commitEdit();
    const QList<int> rows = grdPLU->selectedGridRows();
    const int priceColumn = grdPLU->priceColumn();
    if (rows.isEmpty() || priceColumn < 1)
        return;
    PriceChangeDialog dialog(plu_.grid, rows, priceColumn, this);
    const std::optional<PriceChange> change =
        priceChangeFunction_
            ? priceChangeFunction_(dialog)
            : (dialog.exec() == QDialog::Accepted ? dialog.change() : std::nullopt);
    if (!change)
        return;
    QList<GridEdit::Cell> cells;
    for (const PricePreviewRow& line : previewPriceChange(plu_.grid, rows, priceColumn, *change)) {
        if (!line.error.isEmpty())
            return; // the dialog offers no change that fails a row
        cells.append({line.row, priceColumn, line.before, line.after});
    }
    grdPLU->applyEdit(setCellsEdit(plu_.grid, cells), QStringLiteral("Change Prices"));
}
