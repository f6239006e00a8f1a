#include "jobs/PluCompare.h"

#include "protocol/PluWireRecord.h"

#include <QMap>
#include <QStringList>

namespace {

// The record as the scale keeps it once downloaded: names centred, numbers as they travel.
PluRecord asStoredOnScale(const PluRecord& record) {
    const EncodedRecord encoded = plu_wire::encode(record);
    if (!encoded.ok())
        return record; // it cannot be sent: compared as it is
    PluRecord stored = plu_wire::decode(encoded.bytes).record;
    stored.PluNo = record.PluNo;
    return stored;
}

QString fieldText(const PluRecord& record, int field) {
    return PluRecord::kind().fields[field].kind == FieldKind::Text
               ? record.text(field)
               : QString::number(record.number(field));
}

QString quoted(const QString& text) {
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

} // namespace

QList<PluDifference> fieldDifferences(int pluNo, const PluRecord& table, const PluRecord& scale) {
    QList<PluDifference> differences;
    const QVector<FieldSpec>& fields = PluRecord::kind().fields;
    for (int f = 1; f < fields.size(); ++f) { // the PLU number is what they are matched by
        const QString ours = fieldText(table, f);
        const QString theirs = fieldText(scale, f);
        if (ours != theirs)
            differences.append(
                {pluNo, PluDifference::Kind::Field, fields[f].title(), ours, theirs});
    }
    return differences;
}

QList<PluDifference> comparePlus(const PluTable& table, const ScaleReadBack& scale) {
    QMap<int, PluRecord> ours;
    for (int row = 1; row <= table.count; ++row)
        ours.insert(table.records[row].PluNo, asStoredOnScale(table.records[row]));

    QList<int> numbers = ours.keys();
    for (const int n : scale.held.keys())
        if (!ours.contains(n))
            numbers.append(n);
    std::sort(numbers.begin(), numbers.end());

    QList<PluDifference> differences;
    for (const int n : numbers) {
        const bool inTable = ours.contains(n);
        const bool onScale = scale.held.contains(n);
        if (inTable && onScale)
            differences += fieldDifferences(n, ours[n], scale.held[n]);
        else if (onScale)
            differences.append({n, PluDifference::Kind::OnlyOnScale, {}, {}, {}});
        else if (scale.missing.contains(n))
            differences.append({n, PluDifference::Kind::OnlyInTable, {}, {}, {}});
    }
    return differences;
}

QString describe(const PluDifference& d) {
    switch (d.kind) {
    case PluDifference::Kind::OnlyOnScale:
        return QStringLiteral("PLU %1: only on the scale").arg(d.pluNo);
    case PluDifference::Kind::OnlyInTable:
        return QStringLiteral("PLU %1: only in the table").arg(d.pluNo);
    case PluDifference::Kind::Field:
        break;
    }
    return QStringLiteral("PLU %1: %2 \"%3\" in the table, \"%4\" on the scale")
        .arg(d.pluNo)
        .arg(d.field, d.tableValue, d.scaleValue);
}

QByteArray differencesCsv(const QList<PluDifference>& differences) {
    QStringList lines{QStringLiteral("\"PLU No\",\"Difference\",\"Table\",\"Scale\"")};
    for (const PluDifference& d : differences) {
        lines.append(QString::number(d.pluNo) + QLatin1Char(',') + quoted(differenceText(d)) +
                     QLatin1Char(',') + quoted(d.tableValue) + QLatin1Char(',') +
                     quoted(d.scaleValue));
    }
    return QByteArray("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

QString compareSummary(const QList<PluDifference>& differences) {
    return differences.isEmpty()
               ? QStringLiteral("Compare: the scale holds what the PLU table holds")
               : QStringLiteral("Compare: %1 differences").arg(differences.size());
}

QString differenceText(const PluDifference& difference) {
    switch (difference.kind) {
    case PluDifference::Kind::OnlyOnScale:
        return QStringLiteral("only on the scale");
    case PluDifference::Kind::OnlyInTable:
        return QStringLiteral("only in the table");
    case PluDifference::Kind::Field:
        break;
    }
    return difference.field;
}
