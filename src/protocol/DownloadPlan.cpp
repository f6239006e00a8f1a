#include "protocol/DownloadPlan.h"

#include "protocol/WireFormat.h"

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

} // namespace

template <typename T>
DownloadPlan planDownload(const T& table, const QString& sourcePath,
                          const DownloadSelection& selection, const scale::ScaleModel& model) {
    using Record = typename T::RecordType;
    using Format = WireFormat<Record>;
    const DownloadKind& kind = Format::download();
    DownloadPlan result;
    result.kind = &kind;
    result.table = &Record::kind();
    result.recordSize = Format::recordSize(model);
    if (sourcePath == QLatin1String("?")) {
        result.refusal = kind.noSourceText;
        return result;
    }
    const std::optional<RowRange> range =
        selectRows(selection, qBound(0, int(table.count), T::kDataRows));
    if (!range) {
        result.refusal = kind.rangeText;
        return result;
    }

    // The number that files the record on the scale is the record's first field.
    const QString numberField = Record::kind().fields.first().name;
    for (int i = range->first; i <= range->last; ++i) {
        const Record& record = table.records[i];
        const int number = record.number(0);
        const EncodedRecord encoded = Format::encode(record, model);
        QString problem = encoded.error;
        if (number < 0 || number > model.largestNumber)
            problem = QStringLiteral("%1 %2 cannot be sent: it must lie between 0 and %3")
                          .arg(numberField)
                          .arg(number)
                          .arg(model.largestNumber);
        if (!problem.isEmpty()) {
            result.rows.clear();
            result.refusal = QStringLiteral("%1 row %2: %3").arg(kind.table).arg(i).arg(problem);
            return result;
        }
        result.rows.append({i, number, encoded.bytes, fieldTexts(record)});
    }
    return result;
}

#define SCALEDESK_PLAN_DOWNLOAD(T)                                                                 \
    template DownloadPlan planDownload(const T&, const QString&, const DownloadSelection&,         \
                                       const scale::ScaleModel&);
SCALEDESK_FOR_EACH_TABLE(SCALEDESK_PLAN_DOWNLOAD)
