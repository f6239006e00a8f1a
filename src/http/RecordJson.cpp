#include "http/RecordJson.h"

#include "tables/Table.h"

#include <QJsonArray>

#include <cmath>
#include <limits>

namespace {

RequestProblem rowProblem(int row, const QString& field, const QString& text) {
    return RequestProblem{422, QStringLiteral("row %1, %2: %3").arg(row).arg(field, text), row,
                          field};
}

// The field's value, or the problem with it.
std::optional<qint32> numberOf(const QJsonValue& value, FieldKind kind, QString& problem) {
    if (!value.isDouble()) {
        problem = QStringLiteral("must be a number");
        return std::nullopt;
    }
    const double number = value.toDouble();
    const double low = kind == FieldKind::Int16 ? std::numeric_limits<qint16>::min()
                                                : std::numeric_limits<qint32>::min();
    const double high = kind == FieldKind::Int16 ? std::numeric_limits<qint16>::max()
                                                 : std::numeric_limits<qint32>::max();
    if (std::trunc(number) != number) {
        problem = QStringLiteral("%1 is not a whole number").arg(number);
        return std::nullopt;
    }
    if (number < low || number > high) {
        problem = QStringLiteral("%1 is out of range (%2 to %3)")
                      .arg(QString::number(number, 'f', 0))
                      .arg(low)
                      .arg(high);
        return std::nullopt;
    }
    return qint32(number);
}

} // namespace

template <typename Record> QJsonObject recordJson(const Record& record) {
    QJsonObject object;
    const QVector<FieldSpec>& fields = Record::kind().fields;
    for (int f = 0; f < fields.size(); ++f) {
        if (fields[f].kind == FieldKind::Text)
            object.insert(fields[f].name, record.text(f));
        else
            object.insert(fields[f].name, record.number(f));
    }
    return object;
}

template <typename Record> JsonRows<Record> rowsFromJson(const QJsonValue& value) {
    JsonRows<Record> result;
    const TableKind& kind = Record::kind();
    if (!value.isArray()) {
        result.problem = RequestProblem{422, QStringLiteral("\"rows\" must be an array of rows"), 0,
                                        QStringLiteral("rows")};
        return result;
    }
    const QJsonArray rows = value.toArray();
    if (rows.isEmpty() || rows.size() > kind.dataRows) {
        result.problem =
            RequestProblem{422,
                           QStringLiteral("\"rows\" holds %1 rows; a %2 table takes 1 to %3")
                               .arg(rows.size())
                               .arg(kind.name)
                               .arg(kind.dataRows),
                           0, QStringLiteral("rows")};
        return result;
    }
    result.rows.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const int row = i + 1;
        if (!rows[i].isObject()) {
            result.problem = RequestProblem{422, QStringLiteral("row %1 is not an object").arg(row),
                                            row, QString()};
            return result;
        }
        const QJsonObject object = rows[i].toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const bool known = std::any_of(kind.fields.begin(), kind.fields.end(),
                                           [&](const FieldSpec& f) { return f.name == it.key(); });
            if (!known) {
                result.problem = rowProblem(
                    row, it.key(), QStringLiteral("not a field of a %1 row").arg(kind.name));
                return result;
            }
        }
        Record record;
        for (int f = 0; f < kind.fields.size(); ++f) {
            const FieldSpec& field = kind.fields[f];
            const QJsonValue member = object.value(field.name);
            QString problem;
            if (member.isUndefined()) {
                problem = QStringLiteral("missing");
            } else if (field.kind == FieldKind::Text) {
                if (member.isString())
                    record.setText(f, member.toString());
                else
                    problem = QStringLiteral("must be a text");
            } else if (const std::optional<qint32> number = numberOf(member, field.kind, problem)) {
                record.setNumber(f, *number);
            }
            if (!problem.isEmpty()) {
                result.problem = rowProblem(row, field.name, problem);
                return result;
            }
        }
        result.rows.push_back(record);
    }
    return result;
}

#define INSTANTIATE(T)                                                                             \
    template QJsonObject recordJson(const T::RecordType&);                                         \
    template JsonRows<T::RecordType> rowsFromJson<T::RecordType>(const QJsonValue&);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)
