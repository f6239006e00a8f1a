#include "tables/GridSearch.h"

#include "tables/TextGrid.h"

namespace {

bool isNumber(const QString& text) {
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

} // namespace

std::optional<CellPosition> findCell(const TextGrid& grid, const QString& term, int row, int col) {
    const QString wanted = term.trimmed();
    const int rows = grid.rows() - 1;
    const int cols = grid.cols() - 1;
    if (wanted.isEmpty() || rows < 1 || cols < 1)
        return std::nullopt;
    const bool number = isNumber(wanted);
    const auto matches = [&](const QString& cell) {
        if (number)
            return cell.trimmed() == wanted;
        return cell.contains(wanted, Qt::CaseInsensitive);
    };
    // Cells counted 0.. in reading order; start just after (row, col).
    const int total = rows * cols;
    const int start = qBound(0, (row - 1) * cols + (col - 1), total - 1);
    for (int step = 1; step <= total; ++step) {
        const int at = (start + step) % total;
        const CellPosition cell{at / cols + 1, at % cols + 1};
        if (matches(grid.text(cell.row, cell.col)))
            return cell;
    }
    return std::nullopt;
}
