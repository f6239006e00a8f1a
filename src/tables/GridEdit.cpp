#include "tables/GridEdit.h"

#include "tables/NumberText.h"
#include "tables/TextGrid.h"

#include <algorithm>

namespace {

// Collects the cells an edit changes, reading the grid as it was before the edit.
class EditBuilder {
public:
    explicit EditBuilder(const TextGrid& grid) : grid_(grid) {
        edit_.rowsBefore = edit_.rowsAfter = grid.rows();
    }

    // New rows are numbered in column 0, as Enter numbers the rows it adds.
    void growTo(int rows) {
        for (int row = edit_.rowsAfter; row < rows; ++row)
            edit_.cells.append({row, 0, QString(), decimalText(row)});
        edit_.rowsAfter = qMax(edit_.rowsAfter, rows);
    }

    void set(int row, int col, const QString& text) {
        const QString before = row < grid_.rows() ? grid_.text(row, col) : QString();
        if (before != text)
            edit_.cells.append({row, col, before, text});
    }

    GridEdit take() { return std::move(edit_); }

private:
    const TextGrid& grid_;
    GridEdit edit_;
};

} // namespace

void applyEdit(TextGrid& grid, const GridEdit& edit) {
    if (edit.rowsAfter > grid.rows())
        grid.setRows(edit.rowsAfter);
    for (const GridEdit::Cell& cell : edit.cells)
        grid.setText(cell.row, cell.col, cell.after);
}

void revertEdit(TextGrid& grid, const GridEdit& edit) {
    for (auto cell = edit.cells.crbegin(); cell != edit.cells.crend(); ++cell)
        if (cell->row < edit.rowsBefore)
            grid.setText(cell->row, cell->col, cell->before);
    if (edit.rowsAfter > edit.rowsBefore && grid.rows() == edit.rowsAfter)
        grid.setRows(edit.rowsBefore);
}

GridEditResult pasteEdit(const TextGrid& grid, int row, int col, const CellBlock& block,
                         const GridLimits& limits) {
    GridEditResult result;
    if (block.isEmpty())
        return result;
    const int height = int(block.size());
    const int width = int(block.first().size());
    const int columnsThere = grid.cols() - col;
    if (width > columnsThere) {
        result.error = QStringLiteral("Cannot paste: %1 columns do not fit from \"%2\", "
                                      "which has %3 columns up to the last")
                           .arg(width)
                           .arg(grid.text(0, col).trimmed())
                           .arg(columnsThere);
        return result;
    }
    const int lastRow = row + height - 1;
    if (lastRow >= limits.rowLimit) {
        result.error = limits.rowLimitMessage;
        return result;
    }
    EditBuilder builder(grid);
    builder.growTo(lastRow + 1);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            builder.set(row + r, col + c, block[r][c]);
    result.edit = builder.take();
    return result;
}

GridEdit clearEdit(const TextGrid& grid, const QList<CellPosition>& cells) {
    EditBuilder builder(grid);
    for (const CellPosition& cell : cells)
        builder.set(cell.row, cell.col, QString());
    return builder.take();
}

GridEditResult insertRowsEdit(const TextGrid& grid, int row, int count, const GridLimits& limits) {
    GridEditResult result;
    const int rowsBefore = grid.rows();
    if (count < 1 || row < 1 || row >= rowsBefore)
        return result;
    const int rowsAfter = qMax(rowsBefore, qMin(rowsBefore + count, limits.rowLimit));
    // Only empty rows may move past the last data row (or off the grid's end).
    const int lastDataRow = limits.rowLimit - 1;
    for (int old = qMax(row, lastDataRow - count + 1); old < rowsBefore; ++old) {
        if (!grid.rowIsEmpty(old)) {
            result.error = limits.rowLimitMessage;
            return result;
        }
    }
    EditBuilder builder(grid);
    builder.growTo(rowsAfter);
    for (int target = rowsAfter - 1; target >= row; --target) {
        const int source = target - count;
        for (int col = 1; col < grid.cols(); ++col)
            builder.set(target, col, source >= row ? grid.text(source, col) : QString());
    }
    result.edit = builder.take();
    return result;
}

GridEdit removeRowsEdit(const TextGrid& grid, QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    EditBuilder builder(grid);
    if (rows.isEmpty())
        return builder.take();
    int target = rows.first();
    for (int source = rows.first(); source < grid.rows(); ++source) {
        if (std::binary_search(rows.begin(), rows.end(), source))
            continue;
        for (int col = 1; col < grid.cols(); ++col)
            builder.set(target, col, grid.text(source, col));
        ++target;
    }
    for (; target < grid.rows(); ++target)
        for (int col = 1; col < grid.cols(); ++col)
            builder.set(target, col, QString());
    return builder.take();
}

GridEdit setCellsEdit(const TextGrid& grid, const QList<GridEdit::Cell>& changes) {
    EditBuilder builder(grid);
    for (const GridEdit::Cell& change : changes)
        builder.set(change.row, change.col, change.after);
    return builder.take();
}
