#include "tables/InnerEmptyRow.h"

std::optional<InnerEmptyRow> findInnerEmptyRow(const TextGrid& grid, const TableKind& kind) {
    int end = 1;
    while (end < grid.rows() && !grid.text(end, 1).isEmpty())
        ++end;
    for (int below = end + 1; below < grid.rows(); ++below) {
        if (grid.rowIsEmpty(below))
            continue;
        const QString number = kind.fields.first().title();
        return InnerEmptyRow{end, QStringLiteral("Row %1 has no %2, and rows below it hold data: "
                                                 "fill in its %2 or delete the row")
                                      .arg(end)
                                      .arg(number)};
    }
    return std::nullopt;
}
