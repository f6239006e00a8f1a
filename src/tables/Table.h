#pragma once

#include "tables/NumberText.h"
#include "tables/Records.h"
#include "tables/TextGrid.h"

#include <array>

// A table in its three forms: the grid of cell texts the operator sees and edits, the fixed
// array of typed records (index 0 has no grid row; data starts at 1) and the count of
// records in use. The records follow the grid only where a command copies one into the
// other (New, Open, Save, import, upload).
template <typename Record, int DataRows = Record::kCapacity> struct Table {
    using RecordType = Record;
    static constexpr int kDataRows = DataRows;
    static constexpr int kRowLimit = DataRows + 1; // grid rows at reset, header included

    TextGrid grid;
    std::array<Record, DataRows + 1> records{};
    qint16 count = 0;

    static const TableKind& kind() { return Record::kind(); }

    // The reset of start-up and New: full row count, format string, row numbers, empty
    // cells and zeroed records 1..DataRows. The count is left to the caller.
    void reset() {
        grid.setRows(kRowLimit);
        grid.setCols(kind().columns());
        grid.applyFormat(kind().formatString());
        QVector<QStringList> cells = grid.all();
        for (int r = 1; r < kRowLimit; ++r) {
            QStringList& row = cells[r];
            row[0] = decimalText(r);
            for (int c = 1; c < row.size(); ++c)
                row[c].clear();
        }
        grid.setAll(cells);
        clearRecords();
    }

    void clearRecords() {
        for (int i = 1; i <= DataRows; ++i)
            clearRecord(records[i]);
    }

private:
    static void clearRecord(Record& record) {
        const auto& fields = kind().fields;
        for (int f = 0; f < fields.size(); ++f) {
            if (fields[f].kind == FieldKind::Text)
                record.setText(f, QString());
            else
                record.setNumber(f, 0);
        }
    }
};

using PluTable = Table<PluRecord>;
using IngredTable = Table<IngredRecord>;

// Every table type, for the explicit instantiations of code shared by all tables:
//   #define INSTANTIATE(T) template QString newTable(T&);
//   SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)
// A new table kind is one more entry here. T::RecordType names the table's record.
#define SCALEDESK_FOR_EACH_TABLE(X) X(PluTable) X(IngredTable)

// "PLU Count is 3" / "Message Count is 0"
template <typename T> QString countText(const T& table) {
    return T::kind().countText + decimalText(table.count);
}
