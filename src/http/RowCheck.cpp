#include "http/RowCheck.h"

#include "protocol/WireFormat.h"
#include "tables/Table.h"

#include <type_traits>

namespace {

template <typename Record> int keptCharacters(const scale::ScaleModel& model) {
    if constexpr (std::is_same_v<Record, PluRecord>)
        return model.pluRecord.nameWidth;
    else
        return model.ingredRecord.lineWidth;
}

RequestProblem problemAt(int row, const QString& field, const QString& text) {
    return RequestProblem{422, QStringLiteral("row %1: %2").arg(row).arg(text), row, field};
}

} // namespace

template <typename Record>
std::optional<RequestProblem> checkRows(const std::vector<Record>& rows,
                                        const scale::ScaleModel& model) {
    const QVector<FieldSpec>& fields = Record::kind().fields;
    const int kept = keptCharacters<Record>(model);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = int(i) + 1;
        const Record& record = rows[i];
        // The number that files the record on the scale is its first field.
        const int number = record.number(0);
        if (number < 0 || number > model.largestNumber)
            return problemAt(row, fields[0].name,
                             QStringLiteral("%1 %2 cannot be sent: it must lie between 0 and %3")
                                 .arg(fields[0].name)
                                 .arg(number)
                                 .arg(model.largestNumber));
        for (int f = 0; f < fields.size(); ++f) {
            const qsizetype length = record.text(f).size();
            if (fields[f].kind == FieldKind::Text && length > kept)
                return problemAt(row, fields[f].name,
                                 QStringLiteral("%1 has %2 characters; the scale keeps %3")
                                     .arg(fields[f].name)
                                     .arg(length)
                                     .arg(kept));
        }
        const EncodedRecord encoded = WireFormat<Record>::encode(record, model);
        if (!encoded.ok()) {
            // The encoder's texts start with the field they are about.
            QString field;
            for (const FieldSpec& described : fields)
                if (encoded.error.startsWith(described.name + QLatin1Char(' ')))
                    field = described.name;
            return problemAt(row, field, encoded.error);
        }
    }
    return std::nullopt;
}

#define INSTANTIATE(T)                                                                             \
    template std::optional<RequestProblem> checkRows(const std::vector<T::RecordType>&,            \
                                                     const scale::ScaleModel&);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)
