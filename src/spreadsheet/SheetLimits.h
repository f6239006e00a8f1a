#pragma once

// The .xlsx and .csv readers stop at this many cells. A PLU workbook has 9 columns of 601
// rows; the bound leaves room for any sheet a person keeps beside them while a crafted or
// mistaken file cannot fill the memory with millions of tiny cells.
inline constexpr int kMaxSheetCells = 1 << 20;

// Rows an .xlsx worksheet can have; a reference past them is damage.
inline constexpr int kMaxSheetRows = 1 << 20;
