#include "protocol/DownloadPlan.h"

#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"

#include <optional>

namespace {

struct RowRange {
    int first = 0;
    int last = 0;
};

std::optional<int> boxNumber(const QString& text) {
    const NumberConversion number = toInt16(text);
    if (!number.ok)
        return std::nullopt;
    return number.value;
}

// The rows the boxes select, or nothing when the selection does not fit rows 1 to `count`.
// A reversed range fits: it selects no row.
std::optional<RowRange> selectRows(const DownloadSelection& selection, int count) {
    RowRange range{1, count};
    if (selection.choice != DownloadChoice::All) {
        const bool one = selection.choice == DownloadChoice::One;
        const std::optional<int> first = boxNumber(one ? selection.oneNo : selection.startNo);
        const std::optional<int> last = boxNumber(one ? selection.oneNo : selection.endNo);
        if (!first || !last)
            return std::nullopt;
        range = {*first, *last};
    }
    const auto fits = [count](int row) { return row >= 1 && row <= count; };
    if (!fits(range.first) || !fits(range.last))
        return std::nullopt;
    return range;
}

struct Encoded {
    QByteArray bytes;
    QString error;
};

Encoded encodeRecord(const PluRecord& record) {
    const plu_wire::Encoded encoded = plu_wire::encode(record);
    return {encoded.bytes, encoded.error};
}

Encoded encodeRecord(const IngredRecord& record) {
    const ingred_wire::Encoded encoded = ingred_wire::encode(record);
    return {encoded.bytes, encoded.error};
}

template <typename Record, int N>
DownloadPlan plan(const DownloadKind& kind, const Table<Record, N>& table,
                  const QString& sourcePath, const DownloadSelection& selection) {
    DownloadPlan result;
    result.kind = &kind;
    if (sourcePath == QLatin1String("?")) {
        result.refusal = kind.noSourceText;
        return result;
    }
    const std::optional<RowRange> range = selectRows(selection, qBound(0, int(table.count), N));
    if (!range) {
        result.refusal = kind.rangeText;
        return result;
    }

    // The number that files the record on the scale is the record's first field.
    const QString numberField = Record::kind().fields.first().name;
    for (int i = range->first; i <= range->last; ++i) {
        const Record& record = table.records[i];
        const qint32 number = record.number(0);
        const Encoded encoded = encodeRecord(record);
        QString problem = encoded.error;
        if (number < 0)
            problem = QStringLiteral("%1 %2 cannot be sent: it must lie between 0 and 32767")
                          .arg(numberField)
                          .arg(number);
        if (!problem.isEmpty()) {
            result.rows.clear();
            result.refusal = QStringLiteral("%1 row %2: %3").arg(kind.table).arg(i).arg(problem);
            return result;
        }
        result.rows.append({i, qint16(number), encoded.bytes});
    }
    return result;
}

} // namespace

DownloadPlan planDownload(const PluTable& table, const QString& sourcePath,
                          const DownloadSelection& selection) {
    return plan(pluDownloadKind(), table, sourcePath, selection);
}

DownloadPlan planDownload(const IngredTable& table, const QString& sourcePath,
                          const DownloadSelection& selection) {
    return plan(ingredDownloadKind(), table, sourcePath, selection);
}
