#pragma once

#include "tables/GridEdit.h"

#include <optional>

class TextGrid;

// The next data cell after (row, col) in reading order, wrapping round to row 1, that matches
// `term`: a number matches cells holding that number ("12" finds PLU 12, not 120 or 4712),
// any other term matches cells containing it, upper or lower case alike. The cell at
// (row, col) itself is tried last.
std::optional<CellPosition> findCell(const TextGrid& grid, const QString& term, int row, int col);
